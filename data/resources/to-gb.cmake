# Converts a resource script from UTF-8 into GB2312 with glibc's iconv, refusing the script when
# it holds a character that GB2312 lacks (the partial output is not left behind).
#   cmake -DSOURCE=file -DOUTPUT=file -P to-gb.cmake
get_filename_component(directory "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${directory}")
execute_process(COMMAND iconv -f UTF-8 -t GB2312 "${SOURCE}"
  OUTPUT_FILE "${OUTPUT}.part" ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(REMOVE "${OUTPUT}.part")
  message(FATAL_ERROR "${SOURCE} holds a character outside GB2312: ${errors}")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
