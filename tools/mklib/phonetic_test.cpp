#include "phonetic.h"

#include <gtest/gtest.h>

namespace lexora::mklib {
namespace {

TEST(PhoneticCode, MapsIpaSymbolsOntoTheCode) {
    EXPECT_EQ(phoneticCode("bʊk"), "buk");
    EXPECT_EQ(phoneticCode("kæt"), "k9t");
    EXPECT_EQ(phoneticCode("ˈθɪŋkɪŋ"), "'4i8ki8");
    EXPECT_EQ(phoneticCode("ðə"), "52");
    EXPECT_EQ(phoneticCode("ʃʒʌ"), "673");
    EXPECT_EQ(phoneticCode("ɑː ɔ ɒ ɛ"), "1: 0 0 /");
    EXPECT_EQ(phoneticCode("ˌæbəˈ"), ",9b2'");
    EXPECT_EQ(phoneticCode("ɡɪv"), "giv");
}

TEST(PhoneticCode, TakesEverySchwaAndEpsilonOfTheData) {
    EXPECT_EQ(phoneticCode("әəɜɚɝɵ"), "222222");
    EXPECT_EQ(phoneticCode("ɛεє"), "///");
}

TEST(PhoneticCode, OtherSymbolsBecomeTheirNearestLetters) {
    EXPECT_EQ(phoneticCode("ãĭūéɹй"), "aiueri");
    EXPECT_EQ(phoneticCode("ʤʧ"), "d7t6");
    EXPECT_EQ(phoneticCode("ˊæbˊ"), "'9b'");
}

TEST(PhoneticCode, DropsWhatWouldReadAsSymbolsOrDelimitsTheTranscription) {
    EXPECT_EQ(phoneticCode("/'klæsis/"), "'kl9sis");
    EXPECT_EQ(phoneticCode("英 [bəˈru:k] 美 [ˈbɛrək]"), "b2'ru:k 'b/r2k");
    EXPECT_EQ(phoneticCode("06,0melitin"), ",melitin");
}

TEST(PhoneticCode, RepairsTheGarbledRows) {
    EXPECT_EQ(phoneticCode("'ɔ:lbɔ:^"), "'0:lb0:g");
    EXPECT_EQ(phoneticCode("әbajt't\\\\\\\\:n"), "2bajt't2:n");
}

TEST(PhoneticCode, CollapsesAndTrimsSpaces) {
    EXPECT_EQ(phoneticCode("\u00A0iʃ"), "i6");
    EXPECT_EQ(phoneticCode("  a   b  "), "a b");
    EXPECT_EQ(phoneticCode("英"), "");
    EXPECT_EQ(phoneticCode(""), "");
}

TEST(LimitPhonetic, CutsAtTheEndOfAVariant) {
    EXPECT_EQ(limitPhonetic("abc; def", 20), "abc; def");
    EXPECT_EQ(limitPhonetic("abc; defgh", 6), "abc");
    EXPECT_EQ(limitPhonetic("abc def ghi", 9), "abc def");
    EXPECT_EQ(limitPhonetic("abcdefgh ij", 5), "");
}

} // namespace
} // namespace lexora::mklib
