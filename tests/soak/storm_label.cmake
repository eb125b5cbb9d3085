# Read by CTest, not by CMake: the top folder's test file includes it before it lists its
# sub-folders. Once CTest has read the end-to-end folder (tests/e2e), the input storm suite it
# defines gets the label "storm" as well as "e2e" (CTest adds labels to those a test has).
macro(subdirs)
  _subdirs(${ARGV})
  if("${ARGV}" STREQUAL "tests/e2e")
    set_tests_properties(e2e_input_storm PROPERTIES LABELS "storm")
  endif()
endmacro()
