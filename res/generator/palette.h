#pragma once

#include <QColor>

// The skin's one palette. Deep slate-blue for the title band and the small
// dialogs, light neutral panels in the main window, and one accent blue
// (the same blue the progress bar fills with) for primary actions.

namespace res::palette {

// Slate family: title band, dark dialogs.
inline const QColor kSlateDeep{0x1d, 0x2a, 0x45};
inline const QColor kSlate{0x24, 0x33, 0x52};
inline const QColor kSlateRaised{0x2e, 0x40, 0x66};
inline const QColor kSlateLine{0x3d, 0x52, 0x7d};
inline const QColor kSlateMuted{0x8f, 0x9e, 0xbb};

// Neutrals: the main window's surfaces.
inline const QColor kWindow{0xe2, 0xe7, 0xee};
inline const QColor kPanel{0xf6, 0xf8, 0xfb};
inline const QColor kPanelBorder{0xcc, 0xd4, 0xdf};
inline const QColor kWell{0xd9, 0xdf, 0xe8};
inline const QColor kWellBorder{0xb3, 0xbe, 0xcd};
inline const QColor kInk{0x1f, 0x2a, 0x3d};
inline const QColor kInkSoft{0x4a, 0x58, 0x74};
inline const QColor kInkFaint{0xb2, 0xbb, 0xc8};

// Accent.
inline const QColor kAccent{0x04, 0x86, 0xe8};
inline const QColor kAccentLight{0x2b, 0x9d, 0xf2};
inline const QColor kAccentDark{0x03, 0x66, 0xb3};
inline const QColor kAccentDeep{0x02, 0x52, 0x91};

// Secondary button face.
inline const QColor kFaceTop{0xff, 0xff, 0xff};
inline const QColor kFaceBottom{0xe6, 0xea, 0xf1};
inline const QColor kFaceBorder{0xa6, 0xb2, 0xc4};
inline const QColor kFacePressedTop{0xc9, 0xd1, 0xdd};
inline const QColor kFacePressedBottom{0xd8, 0xde, 0xe7};
inline const QColor kFacePressedBorder{0x8a, 0x98, 0xae};

// Close button when pressed or hovered.
inline const QColor kDanger{0xd6, 0x45, 0x3d};

// Scroll bars and header.
inline const QColor kTrack{0xe6, 0xea, 0xf0};
inline const QColor kTrackEdge{0xcf, 0xd6, 0xe0};
inline const QColor kThumb{0x8a, 0x98, 0xb0};
inline const QColor kThumbEdge{0x6d, 0x7c, 0x96};
inline const QColor kArrowGlyph{0x4a, 0x58, 0x74};
inline const QColor kTrackOff{0xf0, 0xf2, 0xf5};
inline const QColor kArrowGlyphOff{0xbf, 0xc6, 0xd1};
inline const QColor kHeaderTop{0xf7, 0xf9, 0xfb};
inline const QColor kHeaderBottom{0xdf, 0xe4, 0xeb};
inline const QColor kHeaderLine{0xb3, 0xbe, 0xcd};

}  // namespace res::palette
