#include "VoImages.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>

int TVoImageList::Add(const QIcon &icon) {
    m_icons.append(icon);
    return int(m_icons.size()) - 1;
}

QIcon TVoImageList::Icon(int index) const {
    return index >= 0 && index < m_icons.size() ? m_icons[index] : QIcon();
}

namespace {

QIcon DrawnIcon(const QString &name) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // The colour follows the name, so that neighbouring items look different.
    const QColor colour = QColor::fromHsv(int(qHash(name) % 360), 120, 190);
    p.setBrush(colour);
    p.setPen(colour.darker(130));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(18);
    p.setFont(font);
    p.drawText(pixmap.rect(), Qt::AlignCenter, name.isEmpty() ? QString() : name.left(1).toUpper());
    return QIcon(pixmap);
}

QIcon StoreIcon(const QString &name, const QString &group) {
    const QString resource = group.isEmpty() ? QStringLiteral(":/images/%1.png").arg(name)
                                             : QStringLiteral(":/images/%1/%2.png").arg(group, name);
    if (QFile::exists(resource))
        return QIcon(resource);
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    return DrawnIcon(name);
}

} // namespace

void LoadDefaultImages(TVoImageList &list, const QStringList &names, int imageType) {
    LoadImages(list, names, QString(), imageType);
}

void LoadImages(TVoImageList &list, const QStringList &names, const QString &group, int imageType) {
    (void)imageType;
    for (const QString &name : names)
        list.Add(StoreIcon(name, group));
}
