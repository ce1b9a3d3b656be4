// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/CodePage.h"
#include "Fixtures.h"

using gvt::common::CodePage;

TEST(CodePage, TheGamesTextsGoThroughTheCodePageOfItsLocale) {
    const QList<std::tuple<const char*, bool, int>> locales = {
        // LC_CTYPE as the game gets it, whether it is installed, the code page Wine gives
        {"pl_PL.UTF-8", true, 1250}, {"cs_CZ.UTF-8", true, 1250}, {"sr_RS.UTF-8@latin", true, 1250},
        {"sr_RS.UTF-8", true, 1251}, {"ru_RU.UTF-8", true, 1251}, {"el_GR.UTF-8", true, 1253},
        {"tr_TR.UTF-8", true, 1254}, {"he_IL.UTF-8", true, 1255}, {"ar_EG.UTF-8", true, 1256},
        {"lt_LT.UTF-8", true, 1257}, {"vi_VN.UTF-8", true, 1258}, {"th_TH.UTF-8", true, 874},
        {"ja_JP.UTF-8", true, 932},  {"zh_CN.UTF-8", true, 936},  {"zh_TW.UTF-8", true, 950},
        {"ko_KR.UTF-8", true, 949},  {"de_DE.UTF-8", true, 1252}, {"pl_PL.UTF-8", false, 1252},
        {"C.UTF-8", true, 1252},     {"POSIX", true, 1252},
    };
    for (const auto& [locale, installed, number] : locales)
        EXPECT_EQ(CodePage::numberForLocale(locale, installed), number) << locale;

    const QList<std::tuple<int, QString, QByteArray>> texts = {
        // the code page, a text, its bytes in the game's files
        {1252, u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ Šárka"_s,
         "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8e\x91\x92\x93\x94\x95\x96\x97\x98"
         "\x99\x9a\x9b\x9c\x9e\x9f \x8a\xe1rka"},
        {1252, u"£ukasz"_s, "\xa3ukasz"},
        {1250, u"Łukasz Łódź"_s, "\xa3ukasz \xa3\xf3\x64\x9f"},
        {1251, u"Привет"_s, "\xcf\xf0\xe8\xe2\xe5\xf2"},
        {932, u"日本のｶﾀ"_s, "\x93\xfa\x96\x7b\x82\xcc\xb6\xc0"},
        {936, u"中文€"_s, "\xd6\xd0\xce\xc4\x80"},
    };
    for (const auto& [number, text, bytes] : texts) {
        const CodePage page(number);
        EXPECT_EQ(page.bytesOf(text), bytes) << number;
        EXPECT_EQ(page.textOf(bytes), text) << number;
    }
    // What a code page cannot hold is one "?" a character; a byte of a file name, or one the
    // code page leaves undefined, goes back as itself.
    EXPECT_EQ(CodePage(1252).bytesOf(u"Łódź 😀"_s), QByteArray("?\xf3\x64? ?"));
    EXPECT_EQ(CodePage(932).bytesOf(u"Ł😀"_s), QByteArray("??"));
    for (const int number : {1252, 1253, 932}) {
        const QByteArray odd = "\x81\xaa\xff\x80";
        EXPECT_EQ(CodePage(number).bytesOf(CodePage(number).textOf(odd)), odd) << number;
    }
}
