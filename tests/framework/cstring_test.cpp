// CString: the operations the program's text handling leans on.
#include <gtest/gtest.h>

#include "cstring.h"
#include "brelm_km_interfaces.h"
#include "brelm_sqlite_interfaces.h"

TEST(CString, SlicesAndSearches) {
    CString s(L"archive.tar.gz");
    EXPECT_EQ(CString(L"arch"), s.Left(4));
    EXPECT_EQ(CString(L"gz"), s.Right(2));
    EXPECT_EQ(CString(L"tar.gz"), s.Mid(8));
    EXPECT_EQ(CString(L"ta"), s.Mid(8, 2));
    EXPECT_EQ(CString(), s.Mid(40));
    EXPECT_EQ(7, s.Find(L'.'));
    EXPECT_EQ(11, s.ReverseFind(L'.'));
    EXPECT_EQ(8, s.Find(L"tar"));
    EXPECT_EQ(-1, s.Find(L"zip"));
    EXPECT_EQ(s, s.Right(100));
}

TEST(CString, ReplaceIsLeftToRightWithoutOverlap) {
    CString s(L"a---b");
    EXPECT_EQ(1, s.Replace(L"--", L"-"));
    EXPECT_EQ(CString(L"a--b"), s);
    CString t(L"x&apos;y&apos;");
    EXPECT_EQ(2, t.Replace(L"&apos;", L"&#39;"));
    EXPECT_EQ(CString(L"x&#39;y&#39;"), t);
    EXPECT_EQ(0, t.Replace(L"", L"z"));
}

TEST(CString, TrimFoldCompare) {
    CString s(L" \t Ab C\r\n");
    s.Trim();
    EXPECT_EQ(CString(L"Ab C"), s);
    s.MakeLower();
    EXPECT_EQ(CString(L"ab c"), s);
    EXPECT_EQ(0, CString(L"Work").CompareNoCase(L"wORK"));
    EXPECT_NE(0, CString(L"\u00C9").CompareNoCase(L"\u00E9"));  // A-Z only
    CString d(L"--x--");
    d.TrimRight(L'-').TrimLeft(L'-');
    EXPECT_EQ(CString(L"x"), d);
}

TEST(CString, BufferAndFormat) {
    CString s;
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"abc");
    s.ReleaseBuffer();
    EXPECT_EQ(3, s.GetLength());
    CString f;
    f.Format(L"%s=%d", L"n", -5);
    EXPECT_EQ(CString(L"n=-5"), f);
    const CString name(L"k");
    f.AppendFormat(L", %s=%.1f%c", name.GetString(), 2.5f, L'!');
    EXPECT_EQ(CString(L"n=-5, k=2.5!"), f);
    f.Format(L"plain");
    EXPECT_EQ(CString(L"plain"), f);
    CStringA a("caf\xc3\xa9");
    EXPECT_EQ(5, a.GetLength());
    BSTR b = CString(L"x\0y", 3).AllocSysString();
    EXPECT_EQ(3u, SysStringLen(b));
    SysFreeString(b);
}

TEST(CString, NarrowCaseFoldingComparesBytesUnsignedAndANulInsertsLikeAnyCharacter) {
    EXPECT_GT(CStringA("\xe9").CompareNoCase("A"), 0);
    EXPECT_EQ(CStringA("\xe9").Compare("a") > 0, CStringA("\xe9").CompareNoCase("a") > 0);
    CString s(L"abc");
    EXPECT_EQ(0, s.Replace(L'b', L'b'));
    EXPECT_EQ(4, s.Insert(1, L'\0'));
    EXPECT_EQ(CString(L"a\0bc", 4), s);
}

TEST(Interfaces, IdsResolveThroughUuidof) {
    EXPECT_TRUE(IsEqualIID(__uuidof(IBrelmDatabase), IID_IBrelmDatabase));
    EXPECT_TRUE(IsEqualIID(__uuidof(IBrelmSQLiteRecordset), IID_IBrelmSQLiteRecordset));
    EXPECT_FALSE(IsEqualIID(IID_IBrelmFolder, IID_IBrelmDocument));
}

#ifdef CSTRING_FORMAT_MISUSE
// Compiled only by the cstring_format_misuse test, which expects both calls to be refused.
void FormatMisuse() {
    CString s(L"x"), f;
    f.Format(L"%s", s);
    f.AppendFormat(L"%s", s);
}
#endif
