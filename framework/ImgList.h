#pragma once
// Image lists: a component holding a row of equally sized images that other
// components pick by index (the tray icon's animation, a combo box's item
// pictures).

#include "Classes.h"

#include <QIcon>
#include <QImage>
#include <vector>

class TCustomImageList : public TComponent {
    Q_OBJECT
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    explicit TCustomImageList(QObject* owner = nullptr) : TComponent(owner) {}

    int Height() const { return FHeight; }
    void SetHeight(int value) { FHeight = value; }
    int Width() const { return FWidth; }
    void SetWidth(int value) { FWidth = value; }

    int Count() const { return int(FImages.size()); }
    // Adds an image at the end and returns its index.
    int Add(const QIcon& icon);
    int Add(const QImage& image) { return Add(QIcon(QPixmap::fromImage(image))); }
    void Delete(int index);
    void Clear() { FImages.clear(); }
    // The image at index; an empty icon for an index outside the list.
    QIcon GetIcon(int index) const;

private:
    int FHeight = 16;
    int FWidth = 16;
    std::vector<QIcon> FImages;
};

class TImageList : public TCustomImageList {
    Q_OBJECT
public:
    explicit TImageList(QObject* owner = nullptr) : TCustomImageList(owner) {}
};
