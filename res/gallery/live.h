#pragma once

#include <QImage>
#include <QString>
#include <utility>
#include <vector>

// The real skinned dialogs and controls: each template instantiated by the
// dialog layer with the skin's button, list and progress classes bound to
// its controls, its background and text colours applied, then grabbed.

namespace res::gallery {

// Template `templateId` as the user sees it, with sample rows in the main
// window's lists.
QImage RenderLiveDialog(int templateId);

}  // namespace res::gallery
