#include "ImgList.h"

int TCustomImageList::Add(const QIcon& icon) {
    FImages.push_back(icon);
    return Count() - 1;
}

void TCustomImageList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    FImages.erase(FImages.begin() + index);
}

QIcon TCustomImageList::GetIcon(int index) const {
    if (index < 0 || index >= Count()) return QIcon();
    return FImages[std::size_t(index)];
}
