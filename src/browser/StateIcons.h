#pragma once

#include <QIcon>

// The sequence-state icons of the sequence list (the image list imgSeqList): one SVG picture per state, flat
// and small, and each state has its own shape as well as its own colour so the states can be told apart without
// relying on colour. Icons are built once, on first use (a QGuiApplication must exist), and then shared.
namespace StateIcons {

constexpr int StateCount = 14;

// The first image number of imgSeqList that belongs to a state; images 1 to 3 are not used by the list.
constexpr int FirstStateImage = 4;

// The icon of a sequence state (Property 0..13); a null icon for any other value.
QIcon icon(int property);

// Image number n of the image list imgSeqList (1-based; n = Property + 4); null for unused numbers.
QIcon image(int imageNumber);

} // namespace StateIcons
