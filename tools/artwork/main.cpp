// Draws every picture of the program's skin and writes them, with the resource list that
// names them, into one folder: once at the designed size and once twice as large
// ("name@2x.png") for high-density screens, from the same drawing code. Nothing here depends on the
// clock or on chance (the flecks of the roan coats come from a fixed-seed generator), so two runs
// give the same bytes.
//
//   furlox-artwork OUTDIR [--preview FILE]
//
// Run it with QT_QPA_PLATFORM=offscreen; it needs the Noto CJK fonts (Debian fonts-noto-cjk).

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <cstdio>
#include <vector>

#include "Motifs.h"
#include "Palette.h"
#include "Pictures.h"
#include "Text.h"
#include "app/MainWindowLayout.h"

namespace {

using namespace artwork;

class Writer
{
public:
    explicit Writer(QString dir) : m_dir(std::move(dir)) {}

    // A picture drawn at scale 2 as "name@2x.png" for "name.png".
    bool write(const QString& designedName, const QImage& image)
    {
        QString file = designedName;
        const int scale = int(image.devicePixelRatio());
        if (scale > 1)
            file.replace(QStringLiteral(".png"), QStringLiteral("@%1x.png").arg(scale));
        const QString path = QDir(m_dir).filePath(file);
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        m_files.push_back(file);
        return true;
    }

    // The resource list: every picture at the root of the resources under its own short file
    // name, so the windows ask for ":/main-bg.png" and the like.
    bool writeResourceList() const
    {
        QFile f(QDir(m_dir).filePath(QStringLiteral("artwork.qrc")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        QTextStream out(&f);
        out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
        for (const QString& file : m_files)
            out << "    <file alias=\"" << file << "\">" << file << "</file>\n";
        out << "</qresource>\n</RCC>\n";
        return out.status() == QTextStream::Ok;
    }

private:
    QString m_dir;
    std::vector<QString> m_files;
};

// The skin finds a window's key in its bottom-left pixel and a cropped button's in its top-left
// one; a picture that broke this would come out as a plain rectangle.
bool KeyAt(const QImage& image, int x, int y, const char* name)
{
    if (image.pixel(x, y) == kKey)
        return true;
    std::fprintf(stderr, "%s: pixel %d,%d is not the key colour\n", name, x, y);
    return false;
}

bool LoadFonts()
{
    const char* const files[] = {
        "/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc",
        "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc",
        "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc",
    };
    for (const char* file : files)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    for (const char* family : {kSans, kSerif}) {
        const QFontInfo info(Font(family, 12, QFont::Bold));
        if (info.family() != QString::fromLatin1(family)) {
            std::fprintf(stderr, "font %s is missing (install fonts-noto-cjk)\n", family);
            return false;
        }
    }
    return true;
}

// A sheet that places the pictures where the main window puts them, to judge the whole.
QImage PreviewSheet(const QImage& mainBg, const QImage& system, const QImage& close,
                    const std::vector<QImage>& buttons, const QImage& pnl1, const QImage& pnl2,
                    const QImage& pnl3, const QImage& grade, const QImage& detailBg,
                    const QImage& detailPanel, const QImage& coat, const QImage& progress,
                    const QImage& about)
{
    QImage sheet(640 * 2 + 30, 500 + 30 + 300, QImage::Format_RGB32);
    sheet.fill(QColor(0x70, 0x78, 0x80));
    auto unkeyed = [](const QImage& src) {
        QImage out = src.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < out.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < out.width(); ++x)
                if (line[x] == kKey)
                    line[x] = 0;
        }
        return out;
    };
    QPainter p(&sheet);
    p.drawImage(10, 10, unkeyed(mainBg));
    p.drawImage(10 + 15, 10 + 7, system);
    p.drawImage(10 + 606, 10 + 7, unkeyed(close));
    p.drawImage(10 + 10, 10 + 32, pnl1);
    p.drawImage(10 + 10, 10 + 88, pnl2);
    p.drawImage(10 + 499, 10 + 32, pnl3);
    p.fillRect(QRect(10 + 497, 10 + 367, 133, 50), Qt::white);
    p.drawImage(10 + 498, 10 + 368, grade);
    for (std::size_t i = 0; i < furlox::app::kMainButtons.size(); ++i)
        p.drawImage(10 + furlox::app::kMainButtons[i].place.left,
                    10 + furlox::app::kMainButtons[i].place.top, unkeyed(buttons[i]));
    p.drawImage(10 + furlox::app::kLibraryButton.place.left,
                10 + furlox::app::kLibraryButton.place.top, unkeyed(buttons.back()));
    // Sample texts as the labels would show them.
    p.setFont(Font(kSans, 12, QFont::Normal));
    p.setPen(kGold);
    p.drawText(10 + 8 + 7, 10 + 30 + 10 + 12, QStringLiteral("2024年 5月26日(日)  2回東京12日"));
    p.drawText(10 + 8 + 7, 10 + 30 + 30 + 12,
               QStringLiteral("東京11R 東京優駿  G1 芝2400M  サラ3歳  定量  18頭"));
    p.setFont(Font(kSans, 15, QFont::Normal));
    int y = 10 + 30 + 12 + 15;
    for (const char* line : {"単勝：", " 5", "", "馬連：", " 5-12", " 3- 5", " 5- 9"}) {
        p.drawText(10 + 497 + 10, y, QString::fromUtf8(line));
        y += 16;
    }
    // A few grid rows to judge the panel under them.
    p.fillRect(QRect(10 + 10, 10 + 88, 480, 17 * 8 + 21), Qt::white);
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    for (int r = 0; r <= 9; ++r)
        p.drawLine(10 + 10, 10 + 88 + r * 17, 10 + 490, 10 + 88 + r * 17);
    p.fillRect(QRect(10 + 10, 10 + 88, 480, 17), QColor(0x80, 0x80, 0x80));

    const int x2 = 640 + 20;
    p.drawImage(x2, 10, unkeyed(detailBg));
    p.drawImage(x2 + 606, 10 + 7, unkeyed(close));
    p.fillRect(QRect(x2 + 9, 10 + 32, 299, 316), Qt::white);
    p.drawImage(x2 + 11, 10 + 34, detailPanel);
    p.drawImage(x2 + 11 + 9, 10 + 34 + 45, coat);
    p.setFont(Font(kSans, 12, QFont::Normal));
    p.setPen(Qt::black);
    p.drawText(x2 + 11 + 69, 10 + 34 + 45 + 12, QStringLiteral("牡3    鹿毛"));
    p.drawText(x2 + 11 + 69, 10 + 34 + 63 + 12, QStringLiteral("産地：日高"));
    p.drawText(x2 + 11 + 6, 10 + 34 + 122 + 12, QStringLiteral("調教師：山田"));
    p.fillRect(QRect(x2 + 314, 10 + 32, 316, 316), QColor(0x30, 0x30, 0x30));
    p.fillRect(QRect(x2 + 9, 10 + 354, 621, 128), Qt::white);

    p.drawImage(10, 530, unkeyed(progress));
    p.setFont(Font(kSans, 12, QFont::Bold));
    p.setPen(QColor(0, 0, 128));
    p.drawText(10 + 72, 530 + 16 + 11, QStringLiteral("データ解析中・・・"));
    p.setFont(Font(kSans, 12, QFont::Normal));
    p.setPen(Qt::black);
    p.drawText(QRect(10 + 75, 530 + 36, 88, 12), Qt::AlignCenter, QStringLiteral("123456"));
    p.drawText(10 + 173, 530 + 35 + 11, QStringLiteral("[2/3]"));
    p.fillRect(QRect(10 + 11, 530 + 61, 217, 20), QColor(0xC0, 0xC0, 0xC0));
    p.fillRect(QRect(10 + 11, 530 + 61, 150, 20), QColor(0xA0, 0xA0, 0xA0));

    p.drawImage(270, 530, about);
    p.setPen(kCream);
    p.drawText(270 + 10, 530 + 20, QStringLiteral("Version 1.0"));
    p.drawText(270 + 250, 530 + 20, QStringLiteral("競馬道OnLine Edition"));
    p.drawText(270 + 160, 530 + 225, QStringLiteral("for Windows"));
    p.drawText(270 + 90, 530 + 248, QStringLiteral("(C) Morvane  All rights reserved."));
    p.end();
    return sheet;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: furlox-artwork OUTDIR [--preview FILE]\n");
        return 2;
    }
    const QString outDir = args.at(1);
    QString preview;
    for (qsizetype i = 2; i + 1 < args.size(); ++i)
        if (args.at(i) == QStringLiteral("--preview"))
            preview = args.at(i + 1);
    if (!QDir().mkpath(outDir) || !LoadFonts())
        return 1;

    Writer out(outDir);
    bool ok = true;

    // The designed size first, then the same pictures twice as large for high-density
    // screens; the windows pick the second where the screen's device pixel ratio is above 1.
    for (const int scale : {1, 2}) {
        const QImage mainBg = MainBackground(scale);
        const QImage system = SystemIcon(mainBg);
        ok &= KeyAt(mainBg, 0, mainBg.height() - 1, "main-bg");
        ok &= out.write(QStringLiteral("main-bg.png"), mainBg);
        ok &= out.write(QStringLiteral("system.png"), system);

        const std::pair<const char*, ButtonState> states[] = {
            {"idle", ButtonState::Idle},
            {"hover", ButtonState::Hover},
            {"down", ButtonState::Down},
            {"disabled", ButtonState::Disabled},
        };
        const QImage closeIdle = CloseButton(scale, ButtonState::Idle);
        ok &= KeyAt(closeIdle, 0, 0, "close-idle");
        ok &= out.write(QStringLiteral("close-idle.png"), closeIdle);
        ok &= out.write(QStringLiteral("close-hover.png"), CloseButton(scale, ButtonState::Hover));
        ok &= out.write(QStringLiteral("close-down.png"), CloseButton(scale, ButtonState::Down));

        // The seven in the order of the window's table, then the library button.
        std::vector<ButtonDesign> designs = ButtonDesigns();
        designs.push_back(LibraryButtonDesign());
        std::vector<QImage> idleButtons;
        for (const ButtonDesign& design : designs)
            for (const auto& [suffix, state] : states) {
                const QImage button = RegionButton(scale, design, state);
                if (state == ButtonState::Idle) {
                    ok &= KeyAt(button, 0, 0, design.name);
                    idleButtons.push_back(button);
                }
                ok &= out.write(
                    QStringLiteral("%1-%2.png")
                        .arg(QString::fromLatin1(design.name), QString::fromLatin1(suffix)),
                    button);
            }

        const QImage pnl1 = TitlePanel(scale), pnl2 = GridPanel(scale), pnl3 = BetsPanel(scale);
        ok &= out.write(QStringLiteral("pnl1.png"), pnl1);
        ok &= out.write(QStringLiteral("pnl2.png"), pnl2);
        ok &= out.write(QStringLiteral("pnl3.png"), pnl3);

        const GradeDesign grades[] = {
            {"grade-a", QStringLiteral("A"), QColor(0xF0, 0x4A, 0x2A), QColor(0x96, 0x14, 0x0A),
             QColor(0xD4, 0xA0, 0x17), 3},
            {"grade-b", QStringLiteral("B"), QColor(0xF2, 0xB4, 0x2A), QColor(0xA8, 0x6A, 0x08),
             QColor(0x8A, 0x62, 0x10), 2},
            {"grade-c", QStringLiteral("C"), QColor(0x5A, 0x9C, 0xC8), QColor(0x1C, 0x4A, 0x72),
             QColor(0x3A, 0x6A, 0x8A), 1},
            {"grade-d", QString(), QColor(0xC4, 0xC4, 0xC4), QColor(0x90, 0x90, 0x90),
             QColor(0xA8, 0xA8, 0xA8), 0},
        };
        std::vector<QImage> gradeImages;
        for (const GradeDesign& g : grades) {
            gradeImages.push_back(GradePicture(scale, g));
            ok &=
                out.write(QString::fromLatin1(g.name) + QStringLiteral(".png"), gradeImages.back());
        }

        const QImage about = AboutPicture(scale);
        ok &= out.write(QStringLiteral("about.png"), about);

        const QImage detailBg = DetailBackground(scale);
        const QImage detailPanel = DetailPanel(scale);
        ok &= KeyAt(detailBg, 0, detailBg.height() - 1, "detail-bg");
        ok &= out.write(QStringLiteral("detail-bg.png"), detailBg);
        ok &= out.write(QStringLiteral("detail-panel.png"), detailPanel);
        std::vector<QImage> coats;
        for (int i = 0; i < kCoatCount; ++i) {
            coats.push_back(CoatPicture(scale, i));
            ok &= out.write(QStringLiteral("coat-%1.png").arg(i + 1, 2, 10, QLatin1Char('0')),
                            coats.back());
        }

        const QImage progress = ProgressBackground(scale);
        ok &= KeyAt(progress, 0, progress.height() - 1, "progress-bg");
        ok &= out.write(QStringLiteral("progress-bg.png"), progress);
        if (scale == 1) {
            // The program icons have their own sizes; the sheet judges the designed size.
            ok &= out.write(QStringLiteral("app-icon.png"), AppIcon(256));
            ok &= out.write(QStringLiteral("app-icon-64.png"), AppIcon(64));
            if (!preview.isEmpty())
                ok &= PreviewSheet(mainBg, system, closeIdle, idleButtons, pnl1, pnl2, pnl3,
                                   gradeImages[0], detailBg, detailPanel, coats[2], progress, about)
                          .save(preview, "PNG");
        }
    }
    ok &= out.writeResourceList();
    return ok ? 0 : 1;
}