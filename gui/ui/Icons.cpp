#include "ui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>

namespace quillon::gui {

namespace {

void Folder(QPainter& p, bool open) {
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(1, 4, 13, 9);
    p.drawRect(1, 2, 5, 2);
    if (open) {
        p.setBrush(QColor(250, 225, 130));
        QPolygon front({{3, 7}, {15, 7}, {13, 13}, {1, 13}});
        p.drawPolygon(front);
    }
}

void Page(QPainter& p, QColor fill) {
    p.setPen(QColor(80, 80, 80));
    p.setBrush(fill);
    p.drawRect(2, 1, 11, 13);
}

void Label(QPainter& p, const QString& text, QColor color, int size) {
    QFont font("DejaVu Sans");
    font.setPixelSize(size);
    font.setBold(true);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, text);
}

void Draw(QPainter& p, IconKind kind) {
    switch (kind) {
    case IconKind::ClosedFolder: Folder(p, false); break;
    case IconKind::OpenFolder: Folder(p, true); break;
    case IconKind::Dialog:
        p.setPen(QColor(40, 60, 120));
        p.setBrush(QColor(230, 235, 250));
        p.drawRect(1, 2, 13, 11);
        p.fillRect(2, 3, 12, 3, QColor(50, 90, 180));
        p.fillRect(9, 9, 4, 3, QColor(160, 160, 160));
        break;
    case IconKind::Menu:
        p.setPen(QColor(60, 60, 60));
        p.setBrush(Qt::white);
        p.drawRect(2, 1, 11, 13);
        for (int y = 4; y <= 11; y += 3) p.drawLine(4, y, 11, y);
        break;
    case IconKind::StringTable: Page(p, Qt::white); Label(p, "abc", QColor(0, 0, 160), 6); break;
    case IconKind::Version: Page(p, QColor(255, 250, 220)); Label(p, "1.0", QColor(0, 110, 0), 6); break;
    case IconKind::NewFile: Page(p, Qt::white); break;
    case IconKind::OpenFile: Folder(p, true); break;
    case IconKind::SaveFile:
        p.setPen(QColor(30, 30, 80));
        p.setBrush(QColor(70, 90, 170));
        p.drawRect(1, 1, 13, 13);
        p.fillRect(4, 2, 8, 5, Qt::white);
        break;
    case IconKind::Translate: Label(p, "A→", QColor(160, 0, 0), 8); break;
    case IconKind::AutoTranslate: Label(p, "A⇉", QColor(160, 0, 0), 8); break;
    case IconKind::Build:
        p.setPen(QColor(60, 60, 60));
        p.setBrush(QColor(200, 200, 210));
        p.drawRect(1, 5, 13, 9);
        p.fillRect(3, 2, 9, 3, QColor(90, 160, 90));
        break;
    case IconKind::About: Label(p, "?", QColor(0, 70, 160), 13); break;
    case IconKind::Application:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(50, 90, 180));
        p.drawEllipse(1, 1, 14, 14);
        Label(p, "Q", Qt::white, 11);
        break;
    }
}

} // namespace

QIcon MakeIcon(IconKind kind) {
    // Drawn once; views ask for icons on every paint. Never destroyed, so no
    // pixmap outlives the application object at exit.
    static auto* cache = new std::map<IconKind, QIcon>;
    if (auto found = cache->find(kind); found != cache->end()) return found->second;
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    Draw(painter, kind);
    painter.end();
    return cache->emplace(kind, QIcon(pixmap)).first->second;
}

} // namespace quillon::gui
