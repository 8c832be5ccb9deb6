# Copies one file of generated data into a directory, refusing clearly when the native tree has
# not generated it yet. The check runs when building rather than when configuring, so that a
# Windows tree still configures against a native tree that predates a new data file.
#   cmake -DFILE=path -DDESTINATION=dir -P copy-generated.cmake
if(NOT EXISTS "${FILE}")
  message(FATAL_ERROR "${FILE} is missing: build the native tree first (it generates the data)")
endif()
file(MAKE_DIRECTORY "${DESTINATION}")
get_filename_component(name "${FILE}" NAME)
file(COPY_FILE "${FILE}" "${DESTINATION}/${name}" ONLY_IF_DIFFERENT)
