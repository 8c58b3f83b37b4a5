// Reads lumo.ico the way Windows does, from its directory and bitmap headers, and checks the ten
// images against the rendered drawing they were made from.

#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kResources = LUMO_RESOURCES_DIR;

Bytes ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Le16(const Bytes &b, std::size_t at)
{
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t Le32(const Bytes &b, std::size_t at)
{
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

struct DirectoryEntry {
    int width, height, colourCount, planes, bits;
    std::uint32_t bytes, offset;
};

std::vector<DirectoryEntry> ReadDirectory(const Bytes &ico)
{
    std::vector<DirectoryEntry> entries;
    const std::uint32_t count = Le16(ico, 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = 6 + 16 * i;
        entries.push_back({ico.at(at) ? ico.at(at) : 256, ico.at(at + 1) ? ico.at(at + 1) : 256,
                           ico.at(at + 2), int(Le16(ico, at + 4)), int(Le16(ico, at + 6)), Le32(ico, at + 8),
                           Le32(ico, at + 12)});
    }
    return entries;
}

int Stride(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

// Decodes one BMP-format icon image (8 or 32 bits per pixel with its AND mask) to ARGB.
QImage DecodeImage(const Bytes &ico, const DirectoryEntry &e)
{
    const std::size_t header = e.offset;
    const int width = int(Le32(ico, header + 4));
    const int height = int(Le32(ico, header + 8)) / 2;
    const int bits = int(Le16(ico, header + 14));
    std::size_t colours = header + 40;
    std::size_t pixels = colours + (bits == 8 ? 256 * 4 : 0);
    const std::size_t mask = pixels + std::size_t(Stride(width, bits)) * height;
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = pixels + std::size_t(Stride(width, bits)) * (height - 1 - y);
        const std::size_t maskRow = mask + std::size_t(Stride(width, 1)) * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const bool transparent = ico.at(maskRow + x / 8) & (0x80 >> (x % 8));
            QRgb rgb;
            if (bits == 8) {
                const std::size_t c = colours + 4 * ico.at(row + x);
                rgb = qRgba(ico.at(c + 2), ico.at(c + 1), ico.at(c), transparent ? 0 : 255);
            } else {
                const std::size_t p = row + 4 * std::size_t(x);
                rgb = qRgba(ico.at(p + 2), ico.at(p + 1), ico.at(p), ico.at(p + 3));
            }
            image.setPixel(x, y, rgb);
        }
    }
    return image;
}

QImage RenderedDrawing(int size)
{
    QImage png(QString::fromStdString(kResources + "/icons/lumo-" + std::to_string(size) + ".png"));
    return png.convertToFormat(QImage::Format_ARGB32);
}

class ProgramIconFile : public ::testing::Test {
  protected:
    Bytes ico = ReadFile(kResources + "/lumo.ico");
    std::vector<DirectoryEntry> entries =
        ico.size() >= 6 ? ReadDirectory(ico) : std::vector<DirectoryEntry>{};
};

TEST_F(ProgramIconFile, HoldsTheTenImages)
{
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(Le16(ico, 0), 0u) << "reserved";
    EXPECT_EQ(Le16(ico, 2), 1u) << "type: icon";
    ASSERT_EQ(entries.size(), 10u);
    std::set<std::pair<int, int>> found;
    for (const DirectoryEntry &e : entries) {
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(e.planes, 1);
        EXPECT_EQ(e.colourCount, 0) << "256 colours and more are written as 0";
        found.insert({e.width, e.bits});
    }
    const std::set<std::pair<int, int>> expected{{16, 8},  {16, 32}, {24, 8},  {24, 32}, {32, 8},
                                                 {32, 32}, {48, 8},  {48, 32}, {100, 8}, {100, 32}};
    EXPECT_EQ(found, expected);
}

TEST_F(ProgramIconFile, BitmapHeadersAgreeWithTheDirectory)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spans;
    for (const DirectoryEntry &e : entries) {
        SCOPED_TRACE(std::to_string(e.width) + " px, " + std::to_string(e.bits) + " bpp");
        ASSERT_LE(std::uint64_t(e.offset) + e.bytes, ico.size());
        const std::size_t h = e.offset;
        EXPECT_EQ(Le32(ico, h), 40u) << "BITMAPINFOHEADER";
        EXPECT_EQ(int(Le32(ico, h + 4)), e.width);
        EXPECT_EQ(int(Le32(ico, h + 8)), 2 * e.height) << "colour rows and mask rows";
        EXPECT_EQ(int(Le16(ico, h + 12)), 1);
        EXPECT_EQ(int(Le16(ico, h + 14)), e.bits);
        EXPECT_EQ(Le32(ico, h + 16), 0u) << "uncompressed";
        const std::uint32_t clrUsed = Le32(ico, h + 32);
        EXPECT_TRUE(clrUsed == 0 || (e.bits == 8 && clrUsed == 256));
        const std::size_t palette = e.bits == 8 ? 256 * 4 : 0;
        const std::size_t expected =
            40 + palette + std::size_t(Stride(e.width, e.bits) + Stride(e.width, 1)) * e.height;
        EXPECT_EQ(e.bytes, expected);
        spans.push_back({e.offset, e.offset + e.bytes});
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i)
        EXPECT_LE(spans[i - 1].second, spans[i].first) << "images overlap";
    if (!spans.empty()) {
        EXPECT_EQ(spans.front().first, 6 + 16 * entries.size());
        EXPECT_EQ(spans.back().second, ico.size()) << "trailing bytes";
    }
}

TEST_F(ProgramIconFile, ImagesMatchTheRenderedDrawing)
{
    for (const DirectoryEntry &e : entries) {
        SCOPED_TRACE(std::to_string(e.width) + " px, " + std::to_string(e.bits) + " bpp");
        const QImage png = RenderedDrawing(e.width);
        ASSERT_EQ(png.size(), QSize(e.width, e.height));
        const QImage image = DecodeImage(ico, e);
        std::set<QRgb> opaqueColours;
        int transparent = 0;
        for (int y = 0; y < e.height; ++y) {
            for (int x = 0; x < e.width; ++x) {
                const QRgb want = png.pixel(x, y), got = image.pixel(x, y);
                if (e.bits == 32) {
                    ASSERT_EQ(got, want) << "at " << x << "," << y;
                    continue;
                }
                // 256 colours: binary transparency, colours within quantisation error.
                ASSERT_EQ(qAlpha(got) == 255, qAlpha(want) >= 128) << "at " << x << "," << y;
                if (qAlpha(got) == 0) {
                    ++transparent;
                    continue;
                }
                opaqueColours.insert(got);
                EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) +
                              std::abs(qBlue(got) - qBlue(want)),
                          48)
                    << "at " << x << "," << y;
            }
        }
        if (e.bits == 8) {
            EXPECT_GE(opaqueColours.size(), 2u) << "a drawing, not a flat tile";
            EXPECT_GE(transparent, 4) << "the tile's rounded corners";
        }
    }
}

// The same images, as raw resources for the Windows program file: group 1 names them 30001 to 30010.
TEST_F(ProgramIconFile, WindowsResourcesCarryTheSameImages)
{
    const Bytes group = ReadFile(kResources + "/icons/windows/group-1.bin");
    ASSERT_EQ(group.size(), 6 + 14 * entries.size());
    EXPECT_EQ(Le16(group, 2), 1u);
    ASSERT_EQ(Le16(group, 4), entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const DirectoryEntry &e = entries[i];
        const std::size_t at = 6 + 14 * i;
        const std::uint32_t id = Le16(group, at + 12);
        SCOPED_TRACE("resource " + std::to_string(id));
        EXPECT_EQ(id, 30001 + i);
        EXPECT_TRUE(std::equal(group.begin() + long(at), group.begin() + long(at) + 12,
                               ico.begin() + long(6 + 16 * i)))
            << "group entry differs from the .ico directory entry";
        const Bytes image = ReadFile(kResources + "/icons/windows/icon-" + std::to_string(id) + ".bin");
        ASSERT_EQ(image.size(), e.bytes);
        EXPECT_TRUE(std::equal(image.begin(), image.end(), ico.begin() + long(e.offset)));
    }
}

} // namespace
