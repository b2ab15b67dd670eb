// SPDX-License-Identifier: MIT
//
// Writes the 91 board pictures: img00.gif (a cell whose number has not been
// drawn yet) and img01.gif ... img90.gif (the drawn numbers).
//
// Usage: genera_immagini <output folder>   (run with QT_QPA_PLATFORM=offscreen)

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QStringList>
#include <QTransform>

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSide = 300; // every picture is kSide x kSide

// The board and the pop-up always stretch the square picture to something
// about 1.5 times wider than tall (140x95 cells, 1280x700 pop-up). So we
// draw on a 3:2 canvas and squeeze it into the square: once the screen
// stretches it back, digits, corners and borders look undistorted.
constexpr qreal kLogicalW = 450.0;
constexpr qreal kLogicalH = 300.0;

// Drawn at twice the logical size and averaged down, for clean edges.
constexpr int kSuper = 2;

constexpr int kPaletteSize = 256;

struct Look {
    QColor frame{0x4a, 0x2e, 0x17};       // walnut gap between cells
    QColor tileEdge{0xb8, 0x97, 0x62};    // thin line that defines the tile
    QColor tileTop{0xff, 0xfb, 0xf0};     // ivory
    QColor tileBottom{0xf3, 0xe6, 0xc8};  // cream
    QColor innerBorder{0xdc, 0xc6, 0x9a}; // subtle gold inner border
    QColor numberTop{0xc4, 0x22, 0x22};
    QColor numberBottom{0x9c, 0x15, 0x15};
    QColor outline{0x4e, 0x08, 0x08};
    QColor shadow{0x50, 0x30, 0x10, 0x70};
};

// Undrawn cells are a touch duller, so that drawn numbers stand out.
Look emptyLook()
{
    Look l;
    l.tileTop = QColor(0xf2, 0xea, 0xd8);
    l.tileBottom = QColor(0xe4, 0xd5, 0xb5);
    return l;
}

// Geometry of the tile on the logical canvas.
constexpr qreal kFrameInset = 5.0;
constexpr qreal kTileRadius = 26.0;
constexpr qreal kInnerInset = 17.0;
constexpr qreal kInnerRadius = 16.0;

// Digit height as a share of the tile height, and the widest a two-digit
// number may be as a share of the tile width.
constexpr qreal kDigitHeight = 0.66;
constexpr qreal kMaxTextWidth = 0.80;

constexpr qreal kOutline = 4.0; // dark outline outside the glyphs
constexpr qreal kEmbolden = 2.5; // Liberation/DejaVu Bold are not heavy enough on their own
constexpr qreal kDigitGap = 8.0; // visible space between the outlines of two digits
constexpr QPointF kShadowOffset{5.0, 7.0};
constexpr int kShadowBlur = 7; // logical pixels

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "genera_immagini: %s\n", qPrintable(message));
    std::exit(EXIT_FAILURE);
}

QFont numberFont()
{
    QFont font;
    const QStringList installed = QFontDatabase::families();
    bool found = false;
    for (const QString &family : {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}) {
        if (installed.contains(family, Qt::CaseInsensitive)) {
            font.setFamily(family);
            found = true;
            break;
        }
    }
    if (!found) {
        // Any sans face will do; the outline and emboldening keep it readable.
        font.setStyleHint(QFont::SansSerif);
        font.setFamily(QStringLiteral("sans-serif"));
    }
    font.setWeight(QFont::Bold);
    font.setPixelSize(200); // only shapes the outline; the path is rescaled afterwards
    return font;
}

// Outline of one digit with its origin on the baseline.
QPainterPath digitPath(QChar digit, const QFont &font)
{
    QPainterPath path;
    path.addText(0, 0, font, QString(digit));
    return path;
}

// Glyph outlines of the number, sized and centred on the logical canvas.
// Every number shares one scale (from "8") so all digits have the same
// height. The digits are placed by their ink with a fixed gap: the heavy
// outline would otherwise fuse pairs like "11" or "45" into one blob.
QPainterPath numberPath(int number, const QFont &font)
{
    const QRectF ref = digitPath(QLatin1Char('8'), font).boundingRect();
    if (ref.isEmpty())
        fail(QStringLiteral("the font has no outlines for digits"));

    const qreal gap = 2.0 * (kEmbolden + kOutline) + kDigitGap;
    const qreal scale = std::min(kLogicalH * kDigitHeight / ref.height(),
                                 (kLogicalW * kMaxTextWidth - gap) / (2.0 * ref.width()));
    const QTransform toCanvas = QTransform::fromScale(scale, scale);

    QPainterPath path;
    qreal x = 0.0;
    for (const QChar digit : QString::number(number)) {
        const QPainterPath glyph = toCanvas.map(digitPath(digit, font));
        const QRectF ink = glyph.boundingRect();
        path.addPath(glyph.translated(x - ink.left(), 0));
        x += ink.width() + gap;
    }

    // Centre horizontally on the ink, vertically on the shared digit box,
    // so "1" sits in the middle and all numbers share one baseline.
    const QRectF ink = path.boundingRect();
    const qreal dx = kLogicalW / 2.0 - ink.center().x();
    const qreal dy = (kLogicalH - ref.height() * scale) / 2.0 - ref.top() * scale;
    return path.translated(dx, dy);
}

// Separable box blur of an alpha mask, run twice: close enough to a
// Gaussian for a soft shadow.
void blurAlpha(QImage &mask, int radius)
{
    const int w = mask.width();
    const int h = mask.height();
    std::vector<int> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        std::copy_n(mask.constScanLine(y), w, pixels.begin() + static_cast<std::ptrdiff_t>(y) * w);

    // One running-sum pass over n samples spaced by stride, clamped at the ends.
    std::vector<int> line(static_cast<size_t>(std::max(w, h)));
    const int window = 2 * radius + 1;
    auto blurLine = [&](int *first, int n, int stride) {
        for (int i = 0; i < n; ++i)
            line[i] = first[i * stride];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += line[std::clamp(i, 0, n - 1)];
        for (int i = 0; i < n; ++i) {
            first[i * stride] = sum / window;
            sum += line[std::min(i + radius + 1, n - 1)] - line[std::max(i - radius, 0)];
        }
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y)
            blurLine(pixels.data() + static_cast<std::ptrdiff_t>(y) * w, w, 1);
        for (int x = 0; x < w; ++x)
            blurLine(pixels.data() + x, h, w);
    }

    for (int y = 0; y < h; ++y) {
        uchar *row = mask.scanLine(y);
        for (int x = 0; x < w; ++x)
            row[x] = static_cast<uchar>(pixels[static_cast<size_t>(y) * w + x]);
    }
}

void drawTile(QPainter &p, const Look &look)
{
    p.fillRect(QRectF(0, 0, kLogicalW, kLogicalH), look.frame);

    const QRectF tile(kFrameInset, kFrameInset, kLogicalW - 2 * kFrameInset,
                      kLogicalH - 2 * kFrameInset);
    QLinearGradient face(tile.topLeft(), tile.bottomLeft());
    face.setColorAt(0.0, look.tileTop);
    face.setColorAt(1.0, look.tileBottom);
    p.setPen(QPen(look.tileEdge, 2.0));
    p.setBrush(face);
    p.drawRoundedRect(tile, kTileRadius, kTileRadius);

    const QRectF inner(kInnerInset, kInnerInset, kLogicalW - 2 * kInnerInset,
                       kLogicalH - 2 * kInnerInset);
    p.setPen(QPen(look.innerBorder, 3.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner, kInnerRadius, kInnerRadius);
}

// A faint empty medallion where the number would be: the cell reads as a
// finished tile that is simply still waiting for its number.
void drawEmptyMark(QPainter &p, const Look &look)
{
    const QPointF centre(kLogicalW / 2.0, kLogicalH / 2.0);
    QColor faint = look.innerBorder;
    faint.setAlpha(110);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(faint, 4.0));
    p.drawEllipse(centre, 62.0, 62.0);
    faint.setAlpha(70);
    p.setPen(QPen(faint, 2.0));
    p.drawEllipse(centre, 48.0, 48.0);
    p.setPen(Qt::NoPen);
    p.setBrush(faint);
    p.drawEllipse(centre, 7.0, 7.0);
}

void drawNumber(QPainter &p, const QSize &canvasSize, const Look &look, const QPainterPath &glyphs)
{
    // Thick round-joined strokes around the glyphs make them heavier and
    // give the outline; stroking avoids slow path unions.
    auto drawThick = [&glyphs](QPainter &painter, const QBrush &brush, qreal grow) {
        painter.fillPath(glyphs, brush);
        painter.strokePath(glyphs, QPen(brush, 2.0 * grow, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    };

    // Soft drop shadow: blurred on its own mask, at logical resolution
    // because it is soft anyway, then tinted and laid under the digits.
    QImage mask(qRound(kLogicalW), qRound(kLogicalH), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter mp(&mask);
        mp.setRenderHint(QPainter::Antialiasing);
        mp.translate(kShadowOffset);
        drawThick(mp, Qt::black, kEmbolden + kOutline);
    }
    blurAlpha(mask, kShadowBlur);
    QImage shadow(mask.size(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(look.shadow);
    {
        QPainter sp(&shadow);
        sp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        sp.drawImage(0, 0, mask);
    }
    p.save();
    p.resetTransform();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRectF(QPointF(0, 0), QSizeF(canvasSize)), shadow);
    p.restore();

    drawThick(p, look.outline, kEmbolden + kOutline);

    const QRectF box = glyphs.boundingRect().adjusted(0, -kEmbolden, 0, kEmbolden);
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, look.numberTop);
    fill.setColorAt(1.0, look.numberBottom);
    drawThick(p, fill, kEmbolden);
}

QImage renderPicture(int number, const QFont &font)
{
    const Look look = number == 0 ? emptyLook() : Look{};

    QImage canvas(qRound(kLogicalW * kSuper), qRound(kLogicalH * kSuper),
                  QImage::Format_ARGB32_Premultiplied);
    canvas.fill(look.frame);
    {
        QPainter p(&canvas);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(kSuper, kSuper);
        drawTile(p, look);
        if (number == 0)
            drawEmptyMark(p, look);
        else
            drawNumber(p, canvas.size(), look, numberPath(number, font));
    }
    // Squeeze the 3:2 canvas into the square, averaging the samples.
    const QTransform squeeze = QTransform::fromScale(qreal(kSide) / canvas.width(),
                                                     qreal(kSide) / canvas.height());
    QImage picture = canvas.transformed(squeeze, Qt::SmoothTransformation);
    if (picture.size() != QSize(kSide, kSide))
        fail(QStringLiteral("unexpected picture size"));
    return picture.convertToFormat(QImage::Format_RGB32);
}

// Median cut: the pictures are a few flat colours plus antialiased ramps
// between them, so 256 well-spread entries reproduce them without the
// banding and dithering noise of Qt's fixed colour cube.
QList<QRgb> buildPalette(const QImage &image)
{
    struct Entry {
        std::array<int, 3> c;
        int count;
    };
    std::vector<Entry> colours;
    {
        QHash<QRgb, int> histogram;
        for (int y = 0; y < image.height(); ++y) {
            const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                ++histogram[row[x] & 0xffffffu];
        }
        colours.reserve(static_cast<size_t>(histogram.size()));
        for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
            colours.push_back({{qRed(it.key()), qGreen(it.key()), qBlue(it.key())}, it.value()});
        // QHash order varies between runs; sort so the output is reproducible.
        std::sort(colours.begin(), colours.end(),
                  [](const Entry &a, const Entry &b) { return a.c < b.c; });
    }

    struct Box {
        size_t begin, end;
        int axis = 0;
        int range = 0;
        long pixels = 0;
        // Split first where the error is largest: wide boxes covering many
        // pixels, such as the gentle gradients of the tile and the digits.
        double score() const { return double(range) * range * pixels; }
    };
    auto measure = [&colours](Box &b) {
        std::array<int, 3> lo{255, 255, 255}, hi{0, 0, 0};
        for (size_t i = b.begin; i < b.end; ++i)
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], colours[i].c[k]);
                hi[k] = std::max(hi[k], colours[i].c[k]);
            }
        b.range = -1;
        b.pixels = 0;
        for (size_t i = b.begin; i < b.end; ++i)
            b.pixels += colours[i].count;
        for (int k = 0; k < 3; ++k)
            if (hi[k] - lo[k] > b.range) {
                b.range = hi[k] - lo[k];
                b.axis = k;
            }
    };

    std::vector<Box> boxes{{0, colours.size()}};
    measure(boxes.front());
    while (boxes.size() < static_cast<size_t>(kPaletteSize)) {
        auto widest = std::max_element(boxes.begin(), boxes.end(),
                                       [](const Box &a, const Box &b) { return a.score() < b.score(); });
        if (widest->range <= 0)
            break; // every box holds a single colour: nothing left to split
        Box &b = *widest;
        const int axis = b.axis;
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(b.begin),
                  colours.begin() + static_cast<std::ptrdiff_t>(b.end),
                  [axis](const Entry &x, const Entry &y) { return x.c[axis] < y.c[axis]; });
        // Split at the pixel-weighted median, keeping both halves non-empty.
        const long total = b.pixels;
        long seen = 0;
        size_t cut = b.begin + 1;
        for (size_t i = b.begin; i < b.end - 1; ++i) {
            seen += colours[i].count;
            cut = i + 1;
            if (2 * seen >= total)
                break;
        }
        Box upper{cut, b.end};
        b.end = cut;
        measure(b);
        measure(upper);
        boxes.push_back(upper);
    }

    QList<QRgb> palette;
    for (const Box &b : boxes) {
        std::array<long, 3> sum{0, 0, 0};
        long n = 0;
        for (size_t i = b.begin; i < b.end; ++i) {
            for (int k = 0; k < 3; ++k)
                sum[k] += static_cast<long>(colours[i].c[k]) * colours[i].count;
            n += colours[i].count;
        }
        palette.append(qRgb(static_cast<int>((sum[0] + n / 2) / n),
                            static_cast<int>((sum[1] + n / 2) / n),
                            static_cast<int>((sum[2] + n / 2) / n)));
    }
    return palette;
}

void writeGif(const QImage &indexed, const QString &fileName)
{
    const QByteArray name = QFile::encodeName(fileName);
    auto giveUp = [&](const char *what, int code) {
        fail(QStringLiteral("%1: %2 failed: %3")
                 .arg(fileName, QLatin1String(what), QString::fromLocal8Bit(GifErrorString(code))));
    };

    // giflib only accepts colour maps whose size is a power of two.
    const QList<QRgb> table = indexed.colorTable();
    int mapSize = 2;
    while (mapSize < table.size())
        mapSize *= 2;
    std::vector<GifColorType> colours(static_cast<size_t>(mapSize), GifColorType{0, 0, 0});
    for (qsizetype i = 0; i < table.size(); ++i) {
        colours[static_cast<size_t>(i)].Red = static_cast<GifByteType>(qRed(table[i]));
        colours[static_cast<size_t>(i)].Green = static_cast<GifByteType>(qGreen(table[i]));
        colours[static_cast<size_t>(i)].Blue = static_cast<GifByteType>(qBlue(table[i]));
    }
    ColorMapObject *map = GifMakeMapObject(mapSize, colours.data());
    if (!map)
        fail(QStringLiteral("%1: GifMakeMapObject failed").arg(fileName));

    int error = 0;
    GifFileType *gif = EGifOpenFileName(name.constData(), false, &error);
    if (!gif) {
        GifFreeMapObject(map);
        giveUp("EGifOpenFileName", error);
    }

    auto abortWrite = [&](const char *what) {
        const int code = gif->Error;
        GifFreeMapObject(map);
        EGifCloseFile(gif, nullptr);
        QFile::remove(fileName); // no half-written picture left behind
        giveUp(what, code);
    };

    if (EGifPutScreenDesc(gif, indexed.width(), indexed.height(), 8, 0, map) == GIF_ERROR)
        abortWrite("EGifPutScreenDesc");
    if (EGifPutImageDesc(gif, 0, 0, indexed.width(), indexed.height(), false, nullptr) == GIF_ERROR)
        abortWrite("EGifPutImageDesc");
    std::vector<GifPixelType> line(static_cast<size_t>(indexed.width()));
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *row = indexed.constScanLine(y);
        std::copy(row, row + indexed.width(), line.begin());
        if (EGifPutLine(gif, line.data(), indexed.width()) == GIF_ERROR)
            abortWrite("EGifPutLine");
    }
    GifFreeMapObject(map); // the screen descriptor keeps its own copy

    if (EGifCloseFile(gif, &error) == GIF_ERROR) {
        QFile::remove(fileName);
        giveUp("EGifCloseFile", error);
    }

    // giflib creates files readable by the owner only; the pictures are
    // installed and read by whoever runs the board.
    const QFile::Permissions readable =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    if (!QFile::setPermissions(fileName, readable))
        fail(QStringLiteral("%1: cannot set permissions").arg(fileName));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: genera_immagini <output folder>\n");
        return EXIT_FAILURE;
    }
    const QDir out(args.at(1));
    if (!out.exists() && !QDir().mkpath(out.path()))
        fail(QStringLiteral("cannot create folder %1").arg(out.path()));

    const QFont font = numberFont();
    for (int n = 0; n <= 90; ++n) {
        const QImage picture = renderPicture(n, font);
        // Nearest-colour mapping onto our own palette: no dithering noise.
        const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8, buildPalette(picture));
        const QString name = QStringLiteral("img%1.gif").arg(n, 2, 10, QLatin1Char('0'));
        writeGif(indexed, out.filePath(name));
    }
    return EXIT_SUCCESS;
}
