// The resources linked into Pellarin.exe: dialog template 102, string 103, icon 130, the
// version and the manifest, read from the built program as a data file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/resource.h"

namespace {

class ProgramResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA("Pellarin.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << "Pellarin.exe must be in the working directory";
  }
  void TearDown() override { FreeLibrary(module_); }

  const BYTE* Find(LPCSTR type, LPCSTR name, DWORD* pcb) {
    HRSRC res = FindResourceA(module_, name, type);
    if (res == nullptr) return nullptr;
    *pcb = SizeofResource(module_, res);
    return static_cast<const BYTE*>(LockResource(LoadResource(module_, res)));
  }

  HMODULE module_ = nullptr;
};

// Reads the pieces of an extended dialog template in order.
struct TemplateReader {
  const BYTE* p;
  WORD Word() {
    WORD v;
    memcpy(&v, p, 2);
    p += 2;
    return v;
  }
  DWORD Dword() {
    DWORD v;
    memcpy(&v, p, 4);
    p += 4;
    return v;
  }
  std::wstring Text() {  // a zero-terminated UTF-16 text, or 0xFFFF and an ordinal
    std::wstring s;
    if (Word() == 0xFFFF) return L"#" + std::to_wstring(Word());
    p -= 2;
    for (WORD c; (c = Word()) != 0;) s += static_cast<wchar_t>(c);
    return s;
  }
  void Align() {
    while (reinterpret_cast<uintptr_t>(p) % 4 != 0) ++p;
  }
};

TEST_F(ProgramResources, DialogTemplateIsTheBorderlessTopmostWindowWithOneButton) {
  DWORD cb = 0;
  const BYTE* data = Find(MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(IDD_UPDATE_DIALOG), &cb);
  ASSERT_NE(data, nullptr);
  TemplateReader r{data};
  EXPECT_EQ(r.Word(), 1);
  EXPECT_EQ(r.Word(), 0xFFFF) << "an extended template";
  r.Dword();
  EXPECT_EQ(r.Dword(), static_cast<DWORD>(WS_EX_TOPMOST | WS_EX_APPWINDOW));
  EXPECT_EQ(r.Dword(), static_cast<DWORD>(WS_POPUP | WS_VISIBLE | DS_CENTER | DS_SETFONT));
  EXPECT_EQ(r.Word(), 1) << "one control";
  EXPECT_EQ(static_cast<short>(r.Word()), 0);
  EXPECT_EQ(static_cast<short>(r.Word()), 0);
  EXPECT_EQ(static_cast<short>(r.Word()), 271);
  EXPECT_EQ(static_cast<short>(r.Word()), 201);
  EXPECT_EQ(r.Text(), L"") << "no menu";
  EXPECT_EQ(r.Text(), L"") << "default class";
  EXPECT_EQ(r.Text(), L"") << "empty caption";
  EXPECT_EQ(r.Word(), 9) << "points";
  EXPECT_EQ(r.Word(), 0) << "weight";
  EXPECT_EQ(r.p[0], 0) << "not italic";
  EXPECT_EQ(r.p[1], 1) << "character set";
  r.p += 2;
  EXPECT_EQ(r.Text(), L"\u5b8b\u4f53") << "宋体";

  r.Align();
  r.Dword();
  EXPECT_EQ(r.Dword(), 0u) << "control extended styles";
  EXPECT_EQ(r.Dword(), static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON));
  EXPECT_EQ(static_cast<short>(r.Word()), 237);
  EXPECT_EQ(static_cast<short>(r.Word()), 4);
  EXPECT_EQ(static_cast<short>(r.Word()), 25);
  EXPECT_EQ(static_cast<short>(r.Word()), 16);
  EXPECT_EQ(r.Dword(), static_cast<DWORD>(IDOK));
  EXPECT_EQ(r.Text(), L"#128") << "the button class";
  EXPECT_EQ(r.Text(), L"") << "no text";
}

TEST_F(ProgramResources, StringIconVersionAndManifest) {
  char szText[128] = {};
  ASSERT_GT(LoadStringA(module_, IDP_SOCKETS_INIT_FAILED, szText, sizeof(szText)), 0);
  EXPECT_STREQ(szText, "Windows 套接字初始化失败。") << "GBK through the ANSI code page";

  EXPECT_NE(LoadImageA(module_, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0), nullptr);

  DWORD cb = 0;
  const BYTE* version = Find(MAKEINTRESOURCEA(16) /* RT_VERSION */, MAKEINTRESOURCEA(1), &cb);
  ASSERT_NE(version, nullptr);
  // VS_FIXEDFILEINFO follows the L"VS_VERSION_INFO" header; find it by its signature.
  const VS_FIXEDFILEINFO* info = nullptr;
  for (DWORD i = 0; i + sizeof(VS_FIXEDFILEINFO) <= cb; i += 4) {
    if (reinterpret_cast<const VS_FIXEDFILEINFO*>(version + i)->dwSignature == 0xFEEF04BD) {
      info = reinterpret_cast<const VS_FIXEDFILEINFO*>(version + i);
      break;
    }
  }
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->dwFileVersionMS, 0x00000003u);
  EXPECT_EQ(info->dwFileVersionLS, 0x00000001u);

  const BYTE* manifest = Find(MAKEINTRESOURCEA(24) /* RT_MANIFEST */, MAKEINTRESOURCEA(1), &cb);
  ASSERT_NE(manifest, nullptr);
  std::string strManifest(reinterpret_cast<const char*>(manifest), cb);
  EXPECT_NE(strManifest.find("level=\"requireAdministrator\""), std::string::npos);
}

}  // namespace
