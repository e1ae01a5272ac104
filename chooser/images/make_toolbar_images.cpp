// Draws the chooser's folder pictures: one 18 by 18 bitmap per suffix for
// each of the three icon sets, into the folder given as the only argument.
// The background is the image list's mask colour, so it shows as
// transparent.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace {

constexpr int kSize = 18;
const QColor kMask(192, 192, 192);
const QColor kInk(40, 40, 48);

// The colours of one icon set.
struct Palette {
    const char* prefix;
    QColor folder;
    QColor folderDark;
    QColor paper;
    QColor accent;
};

const Palette kSets[] = {
    {"OL2000", QColor(232, 200, 74), QColor(176, 140, 28), QColor(255, 255, 250),
     QColor(0, 0, 160)},
    {"OL2002", QColor(240, 208, 96), QColor(184, 150, 40), QColor(252, 252, 255),
     QColor(32, 80, 176)},
    {"OL2003", QColor(247, 215, 116), QColor(196, 158, 52), QColor(250, 252, 255),
     QColor(48, 112, 208)},
};

using Draw = std::function<void(QPainter&, const Palette&)>;

void Folder(QPainter& p, const Palette& c, double x, double y, double w, double h) {
    QPainterPath path;
    path.moveTo(x, y + 2);
    path.lineTo(x + w * 0.4, y + 2);
    path.lineTo(x + w * 0.5, y + 4);
    path.lineTo(x + w, y + 4);
    path.lineTo(x + w, y + h);
    path.lineTo(x, y + h);
    path.closeSubpath();
    p.setPen(QPen(c.folderDark, 1));
    p.setBrush(c.folder);
    p.drawPath(path);
    p.setPen(QPen(c.folderDark.darker(115), 1));
    p.drawLine(QPointF(x + 1, y + 6), QPointF(x + w - 1, y + 6));
}

void Envelope(QPainter& p, const Palette& c, QRectF r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(c.paper);
    p.drawRect(r);
    p.drawLine(r.topLeft(), QPointF(r.center().x(), r.center().y() + 1));
    p.drawLine(r.topRight(), QPointF(r.center().x(), r.center().y() + 1));
}

void Tray(QPainter& p, const Palette& c) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(c.folder);
    p.drawPolygon(QPolygonF({{1.5, 10.5}, {16.5, 10.5}, {16.5, 16.5}, {1.5, 16.5}}));
    p.setBrush(c.folderDark);
    p.drawRect(QRectF(5.5, 10.5, 7, 2));
}

void Arrow(QPainter& p, const Palette& c, QPointF from, QPointF to) {
    p.setPen(QPen(c.accent, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    QLineF line(to, from);
    QLineF a = line;
    a.setAngle(line.angle() + 35);
    a.setLength(4);
    QLineF b = line;
    b.setAngle(line.angle() - 35);
    b.setLength(4);
    p.drawLine(a);
    p.drawLine(b);
}

void Page(QPainter& p, const Palette& c, QRectF r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(c.paper);
    p.drawRect(r);
}

const std::pair<const char*, Draw> kPictures[] = {
    {"-Inbox.bmp",
     [](QPainter& p, const Palette& c) {
         Envelope(p, c, QRectF(4.5, 2.5, 9, 7));
         Tray(p, c);
     }},
    {"-Subfolders.bmp", [](QPainter& p, const Palette& c) { Folder(p, c, 1.5, 2.5, 15, 13); }},
    {"-SubFolders.bmp",
     [](QPainter& p, const Palette& c) {
         Folder(p, c, 1.5, 1.5, 12, 10);
         Folder(p, c, 4.5, 5.5, 12, 10);
     }},
    {"-Calendar.bmp",
     [](QPainter& p, const Palette& c) {
         Page(p, c, QRectF(1.5, 2.5, 15, 13));
         p.fillRect(QRectF(2, 3, 14, 3), QColor(200, 40, 40));
         p.setPen(QPen(kInk, 1));
         for (int row = 0; row < 3; ++row) {
             for (int col = 0; col < 4; ++col) {
                 p.drawPoint(QPointF(4 + col * 3.3, 8.5 + row * 2.5));
             }
         }
     }},
    {"-Contacts.bmp",
     [](QPainter& p, const Palette& c) {
         Page(p, c, QRectF(1.5, 2.5, 15, 12));
         p.setBrush(c.accent);
         p.setPen(Qt::NoPen);
         p.drawEllipse(QRectF(4, 4.5, 4.5, 4.5));
         p.drawRoundedRect(QRectF(3, 9.5, 6.5, 4), 2, 2);
         p.setPen(QPen(kInk, 1));
         p.drawLine(QPointF(11, 6.5), QPointF(15, 6.5));
         p.drawLine(QPointF(11, 9.5), QPointF(15, 9.5));
     }},
    {"-DeletedItems.bmp",
     [](QPainter& p, const Palette& c) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(c.paper.darker(108));
         p.drawPolygon(QPolygonF({{4.5, 5.5}, {13.5, 5.5}, {12.5, 16.5}, {5.5, 16.5}}));
         p.drawRect(QRectF(3.5, 3.5, 11, 2));
         p.setPen(QPen(QColor(200, 40, 40), 1.5));
         p.drawLine(QPointF(6.5, 8), QPointF(11.5, 14));
         p.drawLine(QPointF(11.5, 8), QPointF(6.5, 14));
     }},
    {"-Drafts.bmp",
     [](QPainter& p, const Palette& c) {
         Page(p, c, QRectF(2.5, 1.5, 11, 15));
         p.setPen(QPen(c.folderDark, 2.5, Qt::SolidLine, Qt::FlatCap));
         p.drawLine(QPointF(15, 4), QPointF(7, 14));
         p.setPen(QPen(kInk, 1));
         p.drawLine(QPointF(7, 14), QPointF(6, 16));
     }},
    {"-Journal.bmp",
     [](QPainter& p, const Palette& c) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(c.accent);
         p.drawRect(QRectF(3.5, 1.5, 11, 15));
         p.setBrush(c.paper);
         p.drawRect(QRectF(6.5, 4.5, 6, 3));
         p.drawLine(QPointF(5.5, 2), QPointF(5.5, 16));
     }},
    {"-JunkEmail.bmp",
     [](QPainter& p, const Palette& c) {
         Envelope(p, c, QRectF(1.5, 4.5, 12, 9));
         p.setPen(QPen(QColor(200, 40, 40), 1.5));
         p.setBrush(Qt::NoBrush);
         p.drawEllipse(QRectF(9.5, 9.5, 7, 7));
         p.drawLine(QPointF(11, 15), QPointF(15, 11));
     }},
    {"-Notes.bmp",
     [](QPainter& p, const Palette&) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(QColor(255, 240, 120));
         p.drawPolygon(
             QPolygonF({{2.5, 2.5}, {15.5, 2.5}, {15.5, 11.5}, {11.5, 15.5}, {2.5, 15.5}}));
         p.setBrush(QColor(230, 210, 90));
         p.drawPolygon(QPolygonF({{15.5, 11.5}, {11.5, 11.5}, {11.5, 15.5}}));
     }},
    {"-Outbox.bmp",
     [](QPainter& p, const Palette& c) {
         Tray(p, c);
         Envelope(p, c, QRectF(2.5, 3.5, 8, 6));
         Arrow(p, c, QPointF(13.5, 9), QPointF(13.5, 2));
     }},
    {"-PersonalFolders.bmp",
     [](QPainter& p, const Palette& c) {
         p.setPen(QPen(kInk, 1));
         p.setBrush(c.folderDark);
         p.drawRect(QRectF(3.5, 1.5, 11, 15));
         p.setBrush(c.folder);
         p.drawRect(QRectF(5.5, 3.5, 7, 5));
         p.drawRect(QRectF(5.5, 9.5, 7, 5));
         p.setPen(QPen(kInk, 1.5));
         p.drawLine(QPointF(8, 6), QPointF(10, 6));
         p.drawLine(QPointF(8, 12), QPointF(10, 12));
     }},
    {"-SentItems.bmp",
     [](QPainter& p, const Palette& c) {
         Envelope(p, c, QRectF(1.5, 3.5, 10, 8));
         Arrow(p, c, QPointF(7, 14.5), QPointF(16, 14.5));
     }},
    {"-Tasks.bmp",
     [](QPainter& p, const Palette& c) {
         Page(p, c, QRectF(2.5, 2.5, 13, 14));
         p.setBrush(c.folderDark);
         p.drawRect(QRectF(6.5, 1.5, 5, 3));
         p.setPen(QPen(QColor(20, 140, 40), 2, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(5, 10), QPointF(8, 13));
         p.drawLine(QPointF(8, 13), QPointF(13, 6));
     }},
    {"-TopLevelFolders.bmp",
     [](QPainter& p, const Palette& c) {
         Folder(p, c, 1.5, 4.5, 15, 11);
         p.setPen(QPen(c.accent, 1.5));
         p.drawLine(QPointF(6, 11), QPointF(12, 11));
         p.drawLine(QPointF(9, 8), QPointF(9, 14));
     }},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_toolbar_images FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const Palette& set : kSets) {
        for (const auto& [suffix, draw] : kPictures) {
            QImage image(kSize, kSize, QImage::Format_RGB32);
            image.fill(kMask);
            {
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing, false);
                draw(painter, set);
            }
            const auto file = folder / (std::string(set.prefix) + suffix);
            if (!image.save(QString::fromStdString(file.string()), "BMP")) {
                std::fprintf(stderr, "make_toolbar_images: cannot write %s\n", file.c_str());
                return 1;
            }
        }
    }
    return 0;
}
