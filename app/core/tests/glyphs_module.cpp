// A module that carries nothing but a phonetic glyph resource of the wrong size.
extern "C" int appcoreTestGlyphsModule() {
    return 0;
}
