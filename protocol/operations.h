#pragma once

#include "protocol/no_qt.h"

// The request/reply operations on the recorder named by CurrentTargetId.
// Each reads its inputs from the program-wide state (globals.h), sends
// through the slot on which the recorder was discovered, and returns 1 on
// success and 0 on failure (unknown recorder: nothing is sent; no valid
// reply in time; a refusing status where it is examined).

// 1 when the last operation got a valid reply (whatever its status), 0 when
// it got none or sent nothing: tells a refusal from silence.
extern int LastOperationAnswered;

// OP_LOGIN: the credentials are accepted (status 1).
int Login();
// OP_GET_VOLUMES: empties VolumeList first, then fills it from any valid reply.
int ReadVolumeList();
// OP_SET_LAN_DHCP for the port SelectLanIndex chooses (status 1).
int SetLanDhcp();
// OP_SET_LAN_STATIC with StaticIpText, StaticNetmaskText, StaticGatewayText and
// the port's DNS servers and option as discovery read them (status 1).
int SetLanStatic();
// OP_GET_IDENTITY: fills the identity texts from any valid reply.
int ReadIdentity();
// OP_SET_IDENTITY with the three identity texts (status 1).
int WriteIdentity();
