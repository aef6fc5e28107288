// The pictures compiled into the program, the files installed beside it and the Windows
// version block: that they load, have the sizes and colour depths the window relies on, and
// agree with each other and with the generator that made them.
#include <QByteArray>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

const QString sourceDir = QStringLiteral(SPLITWERK_RESOURCES_DIR);

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return {};
    }
    return file.readAll();
}

std::uint32_t le(const QByteArray& data, qsizetype at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(data.at(at + i));
    }
    return value;
}

struct IcoImage {
    int size;
    int bits;
};

// Walks the ICO directory and the BMP header of every image, checking that the sizes recorded
// there add up, since Windows trusts them and Qt's reader is more forgiving than Windows.
std::vector<IcoImage> parseIco(const QByteArray& data) {
    std::vector<IcoImage> images;
    if (data.size() < 6 || le(data, 0, 2) != 0 || le(data, 2, 2) != 1) {
        ADD_FAILURE() << "no ICO header";
        return images;
    }
    const int count = static_cast<int>(le(data, 4, 2));
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int width = static_cast<std::uint8_t>(data.at(entry));
        const int height = static_cast<std::uint8_t>(data.at(entry + 1));
        const int colours = static_cast<std::uint8_t>(data.at(entry + 2));
        const int bits = static_cast<int>(le(data, entry + 6, 2));
        const qsizetype length = le(data, entry + 8, 4);
        const qsizetype offset = le(data, entry + 12, 4);
        EXPECT_EQ(width, height) << "image " << i;
        EXPECT_EQ(colours, bits == 4 ? 16 : 0) << "image " << i << ": colour count in the directory";
        EXPECT_EQ(le(data, entry + 4, 2), 1u) << "image " << i << ": planes";
        if (offset + length > data.size()) {
            ADD_FAILURE() << "image " << i << " runs past the end of the file";
            return images;
        }

        EXPECT_EQ(le(data, offset, 4), 40u) << "image " << i << ": BITMAPINFOHEADER";
        EXPECT_EQ(static_cast<int>(le(data, offset + 4, 4)), width);
        EXPECT_EQ(static_cast<int>(le(data, offset + 8, 4)), 2 * height) << "colour rows and mask rows";
        EXPECT_EQ(static_cast<int>(le(data, offset + 14, 2)), bits) << "image " << i;
        EXPECT_EQ(le(data, offset + 16, 4), 0u) << "uncompressed";
        const qsizetype colourRows = (width * bits + 31) / 32 * 4 * height;
        const qsizetype maskRows = (width + 31) / 32 * 4 * height;
        EXPECT_EQ(length, 40 + (qsizetype{4} << bits) + colourRows + maskRows)
            << "image " << i << ": header, full palette, colour rows and AND mask";
        images.push_back({width, bits});
    }
    return images;
}

struct IconCase {
    const char* resource;
    std::vector<IcoImage> expected;
};

const IconCase iconCases[] = {
    {":/splitwerk/ball.ico", {{16, 8}}},
    {":/splitwerk/splitwerk.ico", {{16, 8}, {32, 8}, {48, 8}, {16, 4}, {32, 4}, {48, 4}}},
};

int opaqueColours(const QImage& image, int* transparent) {
    QSet<QRgb> colours;
    *transparent = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const int alpha = qAlpha(pixel);
            EXPECT_TRUE(alpha == 0 || alpha == 255) << "an AND mask knows no half transparency";
            if (alpha == 0) {
                ++*transparent;
            } else {
                colours.insert(pixel);
            }
        }
    }
    return static_cast<int>(colours.size());
}

// Each file holds the sizes and depths the window needs, as its directory says and as Qt decodes them.
TEST(Icons, EveryImageHasItsSizeDepthMaskAndPalette) {
    for (const auto& c : iconCases) {
        SCOPED_TRACE(c.resource);
        const auto images = parseIco(readAll(QString::fromLatin1(c.resource)));
        ASSERT_EQ(images.size(), c.expected.size());
        QImageReader reader(QString::fromLatin1(c.resource));
        ASSERT_TRUE(reader.canRead()) << "Qt's ico image plugin is missing: " << reader.errorString().toStdString();
        EXPECT_EQ(reader.format(), "ico");
        ASSERT_EQ(reader.imageCount(), static_cast<int>(c.expected.size()));
        for (std::size_t i = 0; i < images.size(); ++i) {
            const IcoImage& want = c.expected[i];
            EXPECT_EQ(images[i].size, want.size) << "image " << i;
            EXPECT_EQ(images[i].bits, want.bits) << "image " << i;
            QImage image;
            ASSERT_TRUE(reader.read(&image)) << reader.errorString().toStdString();
            EXPECT_EQ(image.size(), QSize(want.size, want.size));
            EXPECT_TRUE(image.hasAlphaChannel());
            int transparent = 0;
            const int colours = opaqueColours(image, &transparent);
            EXPECT_LE(colours, want.bits == 4 ? 16 : 256);
            EXPECT_GT(colours, 4) << "a picture, not a blot";
            EXPECT_GT(transparent, 0) << "the corners show what is behind";
            EXPECT_LT(transparent, want.size * want.size / 2);
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "top left corner";
            reader.jumpToNextImage();
        }
    }
}

TEST(Icons, BallIsRedAndLitFromTheUpperLeft) {
    const QImage ball(QStringLiteral(":/splitwerk/ball.ico"));
    ASSERT_EQ(ball.size(), QSize(16, 16));
    for (const QPoint corner : {QPoint(0, 0), QPoint(15, 0), QPoint(0, 15), QPoint(15, 15)}) {
        EXPECT_EQ(qAlpha(ball.pixel(corner)), 0) << corner.x() << "," << corner.y();
    }
    int redPixels = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb p = ball.pixel(x, y);
            redPixels += qAlpha(p) == 255 && qRed(p) > 2 * qGreen(p) && qRed(p) > 2 * qBlue(p);
        }
    }
    EXPECT_GT(redPixels, 150) << "most of the disc is red";
    const QColor light = ball.pixelColor(5, 5);
    const QColor shade = ball.pixelColor(11, 11);
    EXPECT_GT(light.lightness(), shade.lightness() + 60);
}

TEST(Icons, WindowIconOffersEverySizeAndShowsTheFullColourImages) {
    const QIcon icon(QStringLiteral(":/splitwerk/splitwerk.ico"));
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        int transparent = 0;
        // More colours than the 16-colour image has: Qt shows the 256-colour one.
        EXPECT_GT(opaqueColours(image, &transparent), 16) << size;
    }
}

TEST(HicolorIcons, EverySizeIsAnRgbaPngOfThatSize) {
    for (const int size : {16, 32, 48, 64, 128}) {
        const QString path = sourceDir + QStringLiteral("/splitwerk99-%1.png").arg(size);
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), "png") << size;
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << path.toStdString() << ": " << reader.errorString().toStdString();
        EXPECT_EQ(image.size(), QSize(size, size));
        EXPECT_TRUE(image.hasAlphaChannel()) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
    }
}

TEST(Generator, CommittedPicturesMatchTheDrawing) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        GTEST_SKIP() << "python3 is not installed, so make-icons.py cannot run";
    }
    QProcess process;
    process.start(python, {QStringLiteral(SPLITWERK_TOOLS_DIR "/make-icons.py"), QStringLiteral("--check"),
                           QStringLiteral("--out"), sourceDir});
    ASSERT_TRUE(process.waitForFinished(120000));
    EXPECT_EQ(process.exitCode(), 0) << "rerun make-icons.py and commit its output: "
                                     << process.readAllStandardError().toStdString();
}

TEST(DesktopEntry, PassesTheValidatorAndNamesTheInstalledIcon) {
    const QString path = sourceDir + QStringLiteral("/splitwerk99.desktop");
    const QString entry = QString::fromUtf8(readAll(path));
    EXPECT_TRUE(entry.contains(QStringLiteral("\nIcon=splitwerk99\n"))) << "the hicolor PNGs install as splitwerk99";
    EXPECT_TRUE(entry.contains(QStringLiteral("\nExec=splitwerk %f\n"))) << "the link in bin/";

    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty()) {
        GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is not installed";
    }
    QProcess process;
    process.start(validator, {path});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.isEmpty()) << "no warnings either: " << output.toStdString();
}

TEST(WindowsVersionBlock, NumbersFollowTheProjectVersion) {
    const QString rc = QString::fromUtf8(readAll(sourceDir + QStringLiteral("/splitwerk.rc")));
    const QStringList parts = QStringLiteral(SPLITWERK_PROJECT_VERSION).split(u'.');
    ASSERT_EQ(parts.size(), 4) << "major.minor.patch.tweak";
    const QString numeric = parts.join(u',');
    // The version text the program shows is major, two-digit minor, four-digit build.
    const QString text = QStringLiteral("%1.%2.%3")
                             .arg(parts[0].toInt())
                             .arg(parts[1].toInt(), 2, 10, QLatin1Char('0'))
                             .arg(parts[3].toInt(), 4, 10, QLatin1Char('0'));
    for (const char* key : {"FILEVERSION", "PRODUCTVERSION"}) {
        const QRegularExpression line(QStringLiteral("\\n%1\\s+([0-9, ]+)\\n").arg(QLatin1String(key)));
        const auto match = line.match(rc);
        ASSERT_TRUE(match.hasMatch()) << key;
        EXPECT_EQ(match.captured(1).remove(u' '), numeric) << key;
    }
    for (const char* key : {"FileVersion", "ProductVersion"}) {
        const QRegularExpression value(QStringLiteral("VALUE \"%1\",\\s*\"([^\"]*)\"").arg(QLatin1String(key)));
        const auto match = value.match(rc);
        ASSERT_TRUE(match.hasMatch()) << key;
        EXPECT_EQ(match.captured(1), text) << key;
    }
}

} // namespace
