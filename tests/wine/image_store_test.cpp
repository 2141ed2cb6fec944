// The image store and its 32-bit images on the real platform: the button bitmaps decoded from
// the program's resources (compared with the platform's own decoding), the button-face probe on
// real device contexts, the store's fixed capacity, and loading from bitmap files.
#include "dialogs/about_dlg.h"
#include "res/resource.h"
#include "tests/wine/dialog_driver.h"
#include "tests/wine/widget_canvas.h"
#include "widgets/image_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// The artwork's background, the key colour the bitmaps are drawn on (buffer order).
constexpr uint32_t ARTWORK_BACKGROUND = 0x00BFBFBF;

// A store of the test's own: theImageStore is left to the program's windows. The store never
// frees its images, so the test does.
struct LocalStore {
    std::unique_ptr<CImageStore> store = std::make_unique<CImageStore>();
    ~LocalStore() {
        for (int32_t i = 0; i < store->m_count && i < IMAGE_STORE_CAPACITY; ++i)
            delete store->m_images[i];
    }
    CImageStore* operator->() { return store.get(); }
};

uint32_t BufferWord(const CDibImage& image, int x, int y) {
    return image.m_bits[static_cast<std::size_t>(y) * image.m_width + x] & 0x00FFFFFF;
}

// Number of buffer words of the image that differ from the platform's decoding.
int CountDifferences(const CDibImage& image, const WidgetBitmap& expected) {
    int differences = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (BufferWord(image, x, y) !=
                expected.words[static_cast<std::size_t>(y) * expected.width + x])
                ++differences;
    return differences;
}

bool IsEmpty(const CDibImage& image) {
    return image.m_width == 0 && image.m_height == 0 && image.m_bits == nullptr &&
           image.m_hBitmap == nullptr;
}

struct ButtonBitmap {
    UINT id;
    int width;
    int height;
};

// The plain bitmaps of 100 %; the About banner is a compact strip there too.
const ButtonBitmap BUTTON_BITMAPS[] = {
    {IDB_BUTTON_OK, 128, 69},
    {IDB_BUTTON_CANCEL, 92, 69},
    {IDB_BUTTON_ABOUT, 152, 63},
    {IDB_BUTTON_HOMEPAGE, 808, 96},
};

TEST(ImageStore, CreateImageDecodesEachButtonBitmapAsThePlatformDoes) {
    LocalStore store;
    for (const ButtonBitmap& bitmap : BUTTON_BITMAPS) {
        SCOPED_TRACE("bitmap " + std::to_string(bitmap.id));
        const int32_t countBefore = store->m_count;
        CDibImage* image = store->CreateImage(bitmap.id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(store->m_count, countBefore + 1);
        EXPECT_EQ(store->m_images[countBefore], image);
        EXPECT_EQ(image->m_width, bitmap.width);
        EXPECT_EQ(image->m_height, bitmap.height);
        ASSERT_NE(image->m_bits, nullptr);
        EXPECT_NE(image->m_hBitmap, nullptr);
        EXPECT_EQ(image->m_bmi.bmiHeader.biBitCount, 32);
        EXPECT_EQ(image->m_bmi.bmiHeader.biHeight, bitmap.height); // bottom-up

        const WidgetBitmap decoded = WidgetLoadResourceBitmap(bitmap.id);
        ASSERT_EQ(decoded.width, bitmap.width);
        ASSERT_EQ(decoded.height, bitmap.height);
        EXPECT_EQ(CountDifferences(*image, decoded), 0);
        // The key pixel of the draw routine: buffer (1, 1) shows the artwork's background.
        EXPECT_EQ(BufferWord(*image, 1, 1), ARTWORK_BACKGROUND);
    }
}

// Two requests for one bitmap give two separate images; a released one is freed and its slot
// serves the next request.
TEST(ImageStore, EachRequestHasAnImageOfItsOwnAndAReleasedSlotServesTheNext) {
    LocalStore store;
    CDibImage* first = store->CreateImage(IDB_BUTTON_CANCEL);
    CDibImage* second = store->CreateImage(IDB_BUTTON_CANCEL);
    EXPECT_EQ(store->m_count, 2);
    ASSERT_NE(first, second);
    ASSERT_NE(first->m_bits, nullptr);
    ASSERT_NE(second->m_bits, nullptr);
    EXPECT_NE(first->m_bits, second->m_bits);
    EXPECT_NE(first->m_hBitmap, second->m_hBitmap);
    // Recolouring one leaves the other as loaded.
    first->RecolorKey(1, 1, RGB(1, 2, 3), false);
    EXPECT_EQ(BufferWord(*first, 1, 1), 0x00010203u);
    EXPECT_EQ(BufferWord(*second, 1, 1), ARTWORK_BACKGROUND);

    store->ReleaseImage(first);
    EXPECT_EQ(store->m_images[0], nullptr);
    EXPECT_EQ(store->m_images[1], second);

    CDibImage* third = store->CreateImage(IDB_BUTTON_ABOUT);
    EXPECT_EQ(store->m_images[0], third);
    EXPECT_EQ(store->m_count, 2);
    EXPECT_EQ(third->m_width, 152);

    // An image the store does not hold is left alone.
    CDibImage stranger;
    store->ReleaseImage(&stranger);
    store->ReleaseImage(nullptr);
    EXPECT_EQ(store->m_images[0], third);
    EXPECT_EQ(store->m_images[1], second);
    EXPECT_EQ(store->m_count, 2);
}

// Each run of a dialog makes images for its buttons; they go with the buttons, so a dialog
// opened again and again leaves the store as it found it.
TEST(ImageStore, ADialogOpenedAgainAndAgainDoesNotGrowTheStore) {
    DialogAppStateGuard appState;
    int32_t countAfterFirst = -1;
    int32_t heldAfterFirst = -1;
    for (int run = 0; run < 3; ++run) {
        CAboutDlg about;
        int32_t heldWhileOpen = -1;
        DialogDriver driver;
        driver.WaitUntil("About box shown", [&] { return DialogIsUp(about); }).Then([&] {
            heldWhileOpen = theImageStore.ImagesHeld();
            DialogPostClick(about.m_hWnd, IDOK);
        });
        DialogRunDriven(about, driver);
        const int32_t heldAfter = theImageStore.ImagesHeld();
        EXPECT_EQ(heldWhileOpen, heldAfter + 3) << "run " << run;
        if (run == 0) {
            countAfterFirst = theImageStore.m_count;
            heldAfterFirst = heldAfter;
        } else {
            EXPECT_EQ(theImageStore.m_count, countAfterFirst) << "run " << run;
            EXPECT_EQ(heldAfter, heldAfterFirst) << "run " << run;
        }
    }
}

TEST(ImageStore, RecolorKeyReplacesExactlyTheBackgroundOfARealBitmap) {
    LocalStore store;
    CDibImage* image = store->CreateImage(IDB_BUTTON_OK);
    const WidgetBitmap decoded = WidgetLoadResourceBitmap(IDB_BUTTON_OK);
    ASSERT_EQ(decoded.width, image->m_width);
    image->RecolorKey(1, 1, RGB(10, 200, 30), false);
    int keyPixels = 0;
    int wrong = 0;
    for (int y = 0; y < decoded.height; ++y)
        for (int x = 0; x < decoded.width; ++x) {
            const uint32_t was = decoded.words[static_cast<std::size_t>(y) * decoded.width + x];
            const uint32_t expected = was == ARTWORK_BACKGROUND ? 0x000AC81Eu : was;
            keyPixels += was == ARTWORK_BACKGROUND ? 1 : 0;
            wrong += BufferWord(*image, x, y) != expected ? 1 : 0;
        }
    EXPECT_GT(keyPixels, 0);
    EXPECT_EQ(wrong, 0);
}

// Sets the button-face colour for the length of a test and puts the old one back.
class ButtonFaceColour {
public:
    explicit ButtonFaceColour(COLORREF face) : m_old(::GetSysColor(COLOR_BTNFACE)) { Set(face); }
    ~ButtonFaceColour() { Set(m_old); }
    ButtonFaceColour(const ButtonFaceColour&) = delete;
    ButtonFaceColour& operator=(const ButtonFaceColour&) = delete;
    void Set(COLORREF face) {
        const INT element = COLOR_BTNFACE;
        ::SetSysColors(1, &element, &face);
    }

private:
    COLORREF m_old;
};

COLORREF OneStepDarker(COLORREF c) {
    auto down = [](BYTE channel) { return static_cast<BYTE>(channel > 0 ? channel - 1 : 0); };
    return RGB(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

TEST(ImageStore, ProbeButtonFaceTakesTheFaceOneStepDarkerAndRestoresThePixel) {
    struct Case {
        COLORREF face;
        COLORREF key;
    };
    const Case cases[] = {
        {RGB(192, 192, 192), RGB(191, 191, 191)},
        {RGB(0, 0, 128), RGB(0, 0, 127)},
        {RGB(255, 1, 0), RGB(254, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("face " + std::to_string(c.face));
        ButtonFaceColour face(c.face);
        ASSERT_EQ(::GetSysColor(COLOR_BTNFACE), c.face);
        WidgetCanvas canvas(8, 8, 0x00123456);
        ASSERT_TRUE(canvas.IsValid());
        CImageStore store;
        // With (0, 0) outside the canvas the pixel cannot be read: the key stays unknown, and
        // the next probe reads again.
        POINT origin = {};
        ::SetViewportOrgEx(canvas.Dc(), -100, -100, &origin);
        store.ProbeButtonFace(canvas.Dc());
        EXPECT_EQ(store.m_keyColor, KEY_COLOR_UNSET);
        ::SetViewportOrgEx(canvas.Dc(), origin.x, origin.y, nullptr);
        store.ProbeButtonFace(canvas.Dc());
        EXPECT_EQ(store.m_keyColor, c.key);
        EXPECT_EQ(canvas.At(0, 0), 0x00123456u) << "pixel (0, 0) is put back";

        // Once set, the key stays, even when the face colour changes.
        face.Set(RGB(40, 50, 60));
        store.ProbeButtonFace(canvas.Dc());
        EXPECT_EQ(store.m_keyColor, c.key);
    }
}

TEST(ImageStore, ProbeButtonFaceUsesTheColourTheDeviceReallyShows) {
    // On a 16-bit surface the face colour is shown with 5 bits a channel; the key follows what
    // the surface shows, not the system colour.
    HDC screen = ::GetDC(nullptr);
    HDC probeDc = ::CreateCompatibleDC(screen);
    HDC twinDc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 16;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP probeBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HBITMAP twinBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(probeBitmap, nullptr);
    ASSERT_NE(twinBitmap, nullptr);
    HGDIOBJ oldProbe = ::SelectObject(probeDc, probeBitmap);
    HGDIOBJ oldTwin = ::SelectObject(twinDc, twinBitmap);

    {
        ButtonFaceColour face(RGB(201, 102, 53));
        ::SetPixel(twinDc, 0, 0, RGB(201, 102, 53));
        const COLORREF shown = ::GetPixel(twinDc, 0, 0);
        CImageStore store;
        store.ProbeButtonFace(probeDc);
        EXPECT_EQ(store.m_keyColor, OneStepDarker(shown));
        EXPECT_NE(shown, RGB(201, 102, 53)) << "the 16-bit surface rounds this colour";
    }

    ::SelectObject(probeDc, oldProbe);
    ::SelectObject(twinDc, oldTwin);
    ::DeleteObject(probeBitmap);
    ::DeleteObject(twinBitmap);
    ::DeleteDC(probeDc);
    ::DeleteDC(twinDc);
}

// A missing resource gives an empty image, counted; so does every request past the capacity.
TEST(ImageStore, RequestsPastTheCapacityGetAnEmptyImageAndWriteNothingPastTheList) {
    LocalStore store;
    const DWORD start = ::GetTickCount();
    CDibImage* missing = store->CreateImage(9999);
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(store->m_count, 1);
    EXPECT_TRUE(IsEmpty(*missing));
    CDibImage* last = nullptr;
    for (int i = 1; i < IMAGE_STORE_CAPACITY; ++i)
        last = store->CreateImage(IDB_LIGHT_RED);
    ASSERT_EQ(store->m_count, IMAGE_STORE_CAPACITY);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->m_width, 11);
    EXPECT_EQ(store->m_images[IMAGE_STORE_CAPACITY - 1], last);

    CDibImage* past = store->CreateImage(IDB_LIGHT_RED);
    CDibImage* further = store->CreateImage(IDB_BUTTON_OK);
    // The fields after the list are intact: nothing was written past its end.
    EXPECT_EQ(store->m_count, IMAGE_STORE_CAPACITY);
    EXPECT_EQ(store->m_keyColor, KEY_COLOR_UNSET);
    ASSERT_NE(past, nullptr);
    ASSERT_NE(further, nullptr);
    for (int i = 0; i < IMAGE_STORE_CAPACITY; ++i)
        ASSERT_NE(store->m_images[i], past) << "index " << i;
    EXPECT_TRUE(IsEmpty(*past));
    EXPECT_TRUE(IsEmpty(*further));
    // Usable: recolouring an empty image does nothing.
    for (CDibImage* empty : {missing, past}) {
        empty->RecolorKey(1, 1, RGB(1, 2, 3), false);
        EXPECT_TRUE(IsEmpty(*empty));
    }
    RecordProperty("fill_ms", static_cast<int>(::GetTickCount() - start));
}

// A temporary file that is removed with the object.
class TempFile {
public:
    explicit TempFile(const std::string& name) {
        char folder[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, folder);
        m_path = std::string(folder) + "tarnwell_widget_" +
                 std::to_string(::GetCurrentProcessId()) + "_" + name;
    }
    ~TempFile() { ::DeleteFileA(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return m_path; }
    bool Write(const std::vector<uint8_t>& bytes) const {
        FILE* file = std::fopen(m_path.c_str(), "wb");
        if (file == nullptr)
            return false;
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written;
    }

private:
    std::string m_path;
};

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The channels of the test picture's pixel at stored row `row`, column `column`.
uint8_t TestBlue(int row, int column) {
    return static_cast<uint8_t>(20 * column + row + 1);
}
uint8_t TestGreen(int row, int column) {
    return static_cast<uint8_t>(60 * row + column + 2);
}
uint8_t TestRed(int row, int column) {
    return static_cast<uint8_t>(7 * row + 11 * column + 3);
}

// A 24-bit bitmap file, 10 x 3: rows of 30 pixel bytes and 2 padding bytes.
std::vector<uint8_t> TestBitmapFile() {
    constexpr int width = 10;
    constexpr int height = 3;
    constexpr int stride = 32;
    std::vector<uint8_t> file = {'B', 'M'};
    PutLe(file, 14 + 40 + stride * height, 4);
    PutLe(file, 0, 4);
    PutLe(file, 14 + 40, 4);
    PutLe(file, 40, 4);
    PutLe(file, width, 4);
    PutLe(file, height, 4);
    PutLe(file, 1, 2);
    PutLe(file, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLe(file, 0, 4); // compression, image size, resolutions, colours
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            file.push_back(TestBlue(row, column));
            file.push_back(TestGreen(row, column));
            file.push_back(TestRed(row, column));
        }
        file.push_back(0xEE); // padding, never read as a pixel
        file.push_back(0xEE);
    }
    return file;
}

TEST(DibImageFile, AWholeBitmapFileLoadsRowByRow) {
    TempFile file("good.bmp");
    ASSERT_TRUE(file.Write(TestBitmapFile()));
    CDibImage image;
    ASSERT_TRUE(image.Load(file.Path(), 0));
    ASSERT_EQ(image.m_width, 10);
    ASSERT_EQ(image.m_height, 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 10; ++column) {
            const uint32_t expected = (static_cast<uint32_t>(TestRed(row, column)) << 16) |
                                      (static_cast<uint32_t>(TestGreen(row, column)) << 8) |
                                      TestBlue(row, column);
            EXPECT_EQ(BufferWord(image, column, row), expected) << column << "," << row;
        }
}

TEST(DibImageFile, FilesThatAreNotWholeBitmapsAreRefusedAndLeaveTheImageAsItWas) {
    std::vector<uint8_t> notBitmap = TestBitmapFile();
    notBitmap[0] = 'M';
    notBitmap[1] = 'B';
    const std::vector<uint8_t> good = TestBitmapFile();
    const std::vector<uint8_t> truncatedRows(good.begin(), good.end() - 40);
    const std::vector<uint8_t> truncatedHeader(good.begin(), good.begin() + 30);
    const std::vector<uint8_t> shorterThanFileHeader(good.begin(), good.begin() + 10);
    struct Case {
        const char* name;
        const std::vector<uint8_t>* bytes; // null: no file at all
    };
    const Case cases[] = {
        {"not_bm.bmp", &notBitmap},
        {"truncated_rows.bmp", &truncatedRows},
        {"truncated_header.bmp", &truncatedHeader},
        {"short.bmp", &shorterThanFileHeader},
        {"missing.bmp", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file(c.name);
        if (c.bytes != nullptr) {
            ASSERT_TRUE(file.Write(*c.bytes));
        }

        CDibImage empty;
        EXPECT_FALSE(empty.Load(file.Path(), 0));
        EXPECT_TRUE(IsEmpty(empty));

        // An image that holds a bitmap keeps it, pixels and all.
        CDibImage loaded;
        ASSERT_TRUE(loaded.Load(std::string(), IDB_BUTTON_CANCEL));
        const HBITMAP before = loaded.m_hBitmap;
        const uint32_t corner = BufferWord(loaded, 1, 1);
        EXPECT_FALSE(loaded.Load(file.Path(), 0));
        EXPECT_EQ(loaded.m_hBitmap, before);
        EXPECT_EQ(loaded.m_width, 92);
        EXPECT_EQ(loaded.m_height, 69);
        EXPECT_EQ(BufferWord(loaded, 1, 1), corner);
    }
}

} // namespace
