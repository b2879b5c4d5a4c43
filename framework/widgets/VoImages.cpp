#include "VoImages.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

int TVoImageList::Add(const QIcon &icon) {
    m_icons.append(icon);
    return int(m_icons.size()) - 1;
}

void TVoImageList::Add(const QList<QIcon> &icons) {
    m_icons += icons;
}

QIcon TVoImageList::Icon(int index) const {
    return index >= 0 && index < m_icons.size() ? m_icons[index] : QIcon();
}

QIcon VoTileIcon(const QString &sign, const QColor &colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    p.setPen(Qt::white);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(sign.size() > 2 ? 11 : 15);
    p.setFont(font);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, sign);
    p.end();
    return QIcon(pixmap);
}

namespace {

QIcon StoreIcon(const QString &name, const QString &group) {
    const QString resource = group.isEmpty() ? QStringLiteral(":/images/%1.png").arg(name)
                                             : QStringLiteral(":/images/%1/%2.png").arg(group, name);
    if (QFile::exists(resource))
        return QIcon(resource);
    // The arrows of moving back and forth look as the desktop draws them.
    if (group.isEmpty() && (name == QLatin1String("BACK") || name == QLatin1String("FORWARD")))
        return QApplication::style()->standardIcon(name == QLatin1String("BACK") ? QStyle::SP_ArrowBack
                                                                                 : QStyle::SP_ArrowForward);
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    // The colour follows the name, so that neighbouring items look different.
    return VoTileIcon(name.left(1).toUpper(), QColor::fromHsv(int(qHash(name) % 360), 120, 190));
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
