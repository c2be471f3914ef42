// The program's resources, read back from this test program, which links the same resource
// objects as kestrane.exe: the tool bar strip, the icon, the editor's cursors, the version
// resource and the manifest.
#include "app/main_menus.h"
#include "kestrane_version.h"
#include "win32/resources/resource_ids.h"
#include "win32/windows_api.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <set>
#include <shlwapi.h>
#include <string>
#include <string_view>
#include <vector>

namespace kst::win32 {
namespace {

HMODULE Self() {
    return GetModuleHandleW(nullptr);
}

std::string_view ResourceBytes(LPCWSTR Name, LPCWSTR Type) {
    HRSRC Found = FindResourceW(Self(), Name, Type);
    if (Found == nullptr) {
        return {};
    }
    const auto* Bytes = static_cast<const char*>(LockResource(LoadResource(Self(), Found)));
    return {Bytes, SizeofResource(Self(), Found)};
}

// One picture of a strip as colours, row by row.
using TPicture = std::vector<COLORREF>;

std::vector<TPicture> SplitStrip(const DIBSECTION& Strip, int Size) {
    const BITMAP& Bits = Strip.dsBm;
    const auto* Rows = static_cast<const BYTE*>(Bits.bmBits);
    std::vector<TPicture> Pictures(Bits.bmWidth / Size);
    for (int y = 0; y < Bits.bmHeight; ++y) {
        // A DIB section with a positive height keeps its bottom row first.
        const BYTE* Row = Rows + (Bits.bmHeight - 1 - y) * Bits.bmWidthBytes;
        for (int x = 0; x < Bits.bmWidth; ++x) {
            const BYTE* Pixel = Row + 3 * x;
            Pictures[x / Size].push_back(RGB(Pixel[2], Pixel[1], Pixel[0]));
        }
    }
    return Pictures;
}

struct TStrip {
    int Id;
    int Size;
};

class ToolBarStrip : public testing::TestWithParam<TStrip> {};

INSTANTIATE_TEST_SUITE_P(Scales, ToolBarStrip,
                         testing::Values(TStrip{IDB_TOOLBAR, TOOLBAR_IMAGE_SIZE},
                                         TStrip{IDB_TOOLBAR_150, 24}, TStrip{IDB_TOOLBAR_200, 32}));

TEST_P(ToolBarStrip, HoldsOneDrawnPicturePerImageIndex) {
    const auto [Id, Size] = GetParam();
    auto* Strip = static_cast<HBITMAP>(
        LoadImageW(Self(), MAKEINTRESOURCEW(Id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(Strip, nullptr);
    DIBSECTION Dib{};
    ASSERT_EQ(GetObjectW(Strip, sizeof(Dib), &Dib), static_cast<int>(sizeof(Dib)));
    EXPECT_EQ(Dib.dsBm.bmWidth, kImageCount * Size);
    EXPECT_EQ(Dib.dsBm.bmHeight, Size);
    EXPECT_EQ(Dib.dsBm.bmBitsPixel, 24);

    const std::vector<TPicture> Pictures = SplitStrip(Dib, Size);
    for (size_t Index = 0; Index < Pictures.size(); ++Index) {
        const std::set<COLORREF> Colours(Pictures[Index].begin(), Pictures[Index].end());
        // Every picture has a background in the mask colour and at least two colours on it.
        EXPECT_TRUE(Colours.contains(TOOLBAR_MASK_COLOR)) << "image " << Index;
        EXPECT_GE(Colours.size(), 3u) << "image " << Index;
    }
    EXPECT_EQ(std::set<TPicture>(Pictures.begin(), Pictures.end()).size(), Pictures.size())
        << "two images are the same picture";

    // The way the main window uses it: one masked image list for the tool bar and the menus.
    HIMAGELIST Images = ImageList_Create(Size, Size, ILC_COLOR24 | ILC_MASK, kImageCount, 0);
    ASSERT_NE(Images, nullptr);
    EXPECT_EQ(ImageList_AddMasked(Images, Strip, TOOLBAR_MASK_COLOR), 0);
    EXPECT_EQ(ImageList_GetImageCount(Images), kImageCount);
    ImageList_Destroy(Images);
    DeleteObject(Strip);
}

// The width of the image the icon group offers for Size, read from the image's own header.
LONG NativeIconWidth(int Size) {
    const std::string_view Group = ResourceBytes(MAKEINTRESOURCEW(IDI_KESTRANE), RT_GROUP_ICON);
    if (Group.empty()) {
        return 0;
    }
    const int ImageId = LookupIconIdFromDirectoryEx(
        reinterpret_cast<PBYTE>(const_cast<char*>(Group.data())), TRUE, Size, Size, 0);
    const std::string_view Image = ResourceBytes(MAKEINTRESOURCEW(ImageId), RT_ICON);
    if (Image.size() < sizeof(BITMAPINFOHEADER)) {
        return 0;
    }
    return reinterpret_cast<const BITMAPINFOHEADER*>(Image.data())->biWidth;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR Name, LONG_PTR Names) {
    reinterpret_cast<std::vector<ULONG_PTR>*>(Names)->push_back(reinterpret_cast<ULONG_PTR>(Name));
    return TRUE;
}

TEST(Resources, ProgramIconIsTheFirstIconGroupWithNativeSizes) {
    std::vector<ULONG_PTR> Groups;
    EnumResourceNamesW(Self(), RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&Groups));
    ASSERT_FALSE(Groups.empty());
    EXPECT_EQ(Groups.front(), static_cast<ULONG_PTR>(IDI_KESTRANE));

    for (const int Size : {16, 24, 32, 48, 64}) {
        EXPECT_EQ(NativeIconWidth(Size), Size);
        HANDLE Icon = LoadImageW(Self(), MAKEINTRESOURCEW(IDI_KESTRANE), IMAGE_ICON, Size, Size, 0);
        ASSERT_NE(Icon, nullptr) << Size;
        ICONINFO Info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(Icon), &Info));
        BITMAP Colour{};
        GetObjectW(Info.hbmColor, sizeof(Colour), &Colour);
        EXPECT_EQ(Colour.bmWidth, Size);
        EXPECT_EQ(Colour.bmHeight, Size);
        DeleteObject(Info.hbmColor);
        DeleteObject(Info.hbmMask);
        DestroyIcon(static_cast<HICON>(Icon));
    }
}

TEST(Resources, EditorCursorsLinkBesideTheProgramResources) {
    EXPECT_NE(LoadCursorW(Self(), L"RightArrow"), nullptr);
    EXPECT_NE(LoadCursorW(Self(), L"DragSelCopy"), nullptr);
}

// A program's version block, as the about box reads it: this test program's, which links
// kestrane.exe's resources, and kestrane-format.exe's, copied beside it.
class VersionResource : public testing::TestWithParam<const wchar_t*> {
protected:
    void SetUp() override {
        std::wstring Path(MAX_PATH, L'\0');
        Path.resize(GetModuleFileNameW(nullptr, Path.data(), MAX_PATH));
        ASSERT_FALSE(Path.empty());
        if (*GetParam() != L'\0') {
            Path = Path.substr(0, Path.rfind(L'\\') + 1) + GetParam();
        }
        DWORD Handle = 0;
        const DWORD Size = GetFileVersionInfoSizeW(Path.c_str(), &Handle);
        ASSERT_GT(Size, 0u) << std::wstring(Path);
        Block.resize(Size);
        ASSERT_TRUE(GetFileVersionInfoW(Path.c_str(), 0, Size, Block.data()));
    }

    std::wstring Text(const wchar_t* Name) {
        wchar_t* Value = nullptr;
        UINT Length = 0;
        const std::wstring Query = std::wstring(L"\\StringFileInfo\\041103A4\\") + Name;
        if (!VerQueryValueW(Block.data(), Query.c_str(), reinterpret_cast<void**>(&Value),
                            &Length) ||
            Length == 0) {
            return L"(missing)";
        }
        return Value;
    }

    std::vector<BYTE> Block;
};

INSTANTIATE_TEST_SUITE_P(Programs, VersionResource, testing::Values(L"", L"kestrane-format.exe"));

TEST_P(VersionResource, JapaneseStringBlockCarriesTheProjectVersion) {
    const std::wstring Version(std::begin(KESTRANE_VERSION), std::end(KESTRANE_VERSION) - 1);
    EXPECT_EQ(Text(L"FileVersion"), Version);
    EXPECT_EQ(Text(L"ProductVersion"), Version);
    EXPECT_EQ(Text(L"ProductName"), L"Kestrane");
    EXPECT_EQ(Text(L"CompanyName"), L"Kestrane");
    EXPECT_EQ(Text(L"FileDescription").rfind(L"Kestrane VBScript ", 0), 0u);
    EXPECT_EQ(Text(L"OriginalFilename"), Text(L"InternalName") + L".exe");
    EXPECT_EQ(Text(L"LegalCopyright"), L"Copyright (C) 2026 the Kestrane developers");
    EXPECT_EQ(Text(L"Comments"), L"(missing)");
}

TEST_P(VersionResource, FixedInfoAndTranslationMatchTheStrings) {
    VS_FIXEDFILEINFO* Fixed = nullptr;
    UINT Length = 0;
    ASSERT_TRUE(VerQueryValueW(Block.data(), L"\\", reinterpret_cast<void**>(&Fixed), &Length));
    EXPECT_EQ(Fixed->dwSignature, 0xFEEF04BDu);
    const std::wstring Numbers = std::to_wstring(HIWORD(Fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(LOWORD(Fixed->dwFileVersionMS)) + L"." +
                                 std::to_wstring(HIWORD(Fixed->dwFileVersionLS));
    EXPECT_EQ(Numbers, Text(L"FileVersion"));
    EXPECT_EQ(LOWORD(Fixed->dwFileVersionLS), 0);
    EXPECT_EQ(Fixed->dwProductVersionMS, Fixed->dwFileVersionMS);
    EXPECT_EQ(Fixed->dwProductVersionLS, Fixed->dwFileVersionLS);
    EXPECT_EQ(Fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* Translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(Block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&Translation), &Length));
    ASSERT_EQ(Length, 2 * sizeof(WORD));
    EXPECT_EQ(Translation[0], 0x0411);
    EXPECT_EQ(Translation[1], 932);
}

TEST(Resources, ManifestAsksForCommonControls6) {
    const std::string_view Manifest = ResourceBytes(MAKEINTRESOURCEW(IDR_MANIFEST), RT_MANIFEST);
    ASSERT_FALSE(Manifest.empty());
    EXPECT_NE(Manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string_view::npos);
    EXPECT_NE(Manifest.find("level=\"asInvoker\""), std::string_view::npos);
    EXPECT_NE(Manifest.find(">true/pm</dpiAware>"), std::string_view::npos);
    EXPECT_NE(Manifest.find(">PerMonitorV2</dpiAwareness>"), std::string_view::npos);

    // The loader honours it: comctl32.dll comes from the side-by-side store of version 6.
    HMODULE CommonControls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(CommonControls, nullptr);
    wchar_t Path[MAX_PATH]{};
    ASSERT_GT(GetModuleFileNameW(CommonControls, Path, MAX_PATH), 0u);
    EXPECT_NE(StrStrIW(Path, L"microsoft.windows.common-controls_6595b64144ccf1df_6."), nullptr)
        << std::wstring(Path);
    EXPECT_TRUE(IsProcessDPIAware());
}

} // namespace
} // namespace kst::win32
