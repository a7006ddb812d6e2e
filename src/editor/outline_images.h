#pragma once

#include <QIcon>

namespace kv {

// The four images of outline nodes, by index.
enum OutlineImage : int {
    kImageDialogWithVariants = 0,
    kImageDialogWithoutVariants = 1,
    kImageVariantWithFollowUp = 2,
    kImageVariantWithoutFollowUp = 3,
};
constexpr int kOutlineImageCount = 4;

// The 16 by 16 picture of an image index (an empty icon outside 0..3).
QIcon OutlineImageIcon(int image);
// A node's icon: the image index normally, the selected-image index while it is selected.
QIcon OutlineNodeIcon(int image, int selectedImage);

} // namespace kv
