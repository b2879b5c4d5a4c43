#pragma once
// Image lists: the menu items name their picture by its index in the main window's list, so what
// counts is the order in which the images are loaded.
#include <QIcon>
#include <QList>
#include <QStringList>

class TVoImageList {
public:
    int Add(const QIcon &icon);
    void Add(const QList<QIcon> &icons);
    // The image at an index; an empty icon for an index outside the list (-1: no image).
    QIcon Icon(int index) const;
    int Count() const { return int(m_icons.size()); }
    void Clear() { m_icons.clear(); }

private:
    QList<QIcon> m_icons;
};

// A 32-pixel tile of a colour with a short sign on it, for pictures that no image store holds.
QIcon VoTileIcon(const QString &sign, const QColor &colour);

// Appends one image per name, in order, from the framework's image store: the resource
// ":/images/<name>.png" when it exists, else the desktop theme's icon of that name, else a drawn
// picture with the name's first letter, so that every name keeps its index. imageType is kept for
// the programs' calls; the store has one kind of image.
void LoadDefaultImages(TVoImageList &list, const QStringList &names, int imageType = 0);
// The same, for images of a named group of the store (an empty group is the default store).
void LoadImages(TVoImageList &list, const QStringList &names, const QString &group, int imageType = 0);
