# The pictures lxart draws (tools/art), by file name. The native tree writes them into its
# data/art folder; the Windows tree's resources take them from there.
set(LEXORA_ART_NAMES)
# The tool bar's buttons, each named after its command.
foreach(id 160 140 101 109 120 121 122 123 102 107 144 163)
  list(APPEND LEXORA_ART_NAMES TB${id}.BMP)
endforeach()
# The prompt bar's buttons.
foreach(id 201 202 203 204 205 206 207 208 211)
  list(APPEND LEXORA_ART_NAMES PB${id}.BMP)
endforeach()
# The title animation.
foreach(frame RANGE 1 12)
  list(APPEND LEXORA_ART_NAMES ANI${frame}.BMP)
endforeach()
list(APPEND LEXORA_ART_NAMES BGFACE.BMP LOGO.BMP LOGOSMALL.BMP LEXORA.ICO)
# The prompt bar's cursors over its buttons and over its text lines.
list(APPEND LEXORA_ART_NAMES CURSOR1.CUR CURSOR5.CUR)
# The user library page's table of the soundmark letters.
list(APPEND LEXORA_ART_NAMES YBBMP.BMP)
set(LEXORA_ART_DIR ${LEXORA_DATA_DIR}/art)
list(TRANSFORM LEXORA_ART_NAMES PREPEND ${LEXORA_ART_DIR}/ OUTPUT_VARIABLE LEXORA_ART_FILES)
