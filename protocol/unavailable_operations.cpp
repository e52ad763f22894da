#include "protocol/unavailable_operations.h"

int QueryHttpsSetting() {
    return 0;
}
int QueryDomainName() {
    return 0;
}
int QueryDiskStatus() {
    return 0;
}
int QueryDeviceCodepage() {
    return 0;
}
int QueryVolumeName() {
    return 0;
}
int SetDiskAccessMode() {
    return 0;
}
int SetDeviceCodepage() {
    return 0;
}
int SendStopRequest() {
    return 0;
}
int QueryAddonStatus() {
    return 0;
}
int NotifyAddonInstalled() {
    return 0;
}
