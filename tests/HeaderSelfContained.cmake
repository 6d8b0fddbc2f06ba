# Every public header compiles on its own: one generated source per header includes it and nothing else,
# and checks that each exception type the header's comments say it throws ("Throws std::out_of_range",
# "throws DecodingError") is a complete type there, so a header names what it throws. The sources form the
# object library header_check, outside the default build; the test HeaderSelfContained builds it.
set(VELMORA_HEADER_CHECK_DIR ${PROJECT_BINARY_DIR}/header_check)
set(header_check_sources "")
foreach(module_dir Platform Bexlan Orvane Tavrix Draskel)
  # The namespace that a module's unqualified exception names are looked up in.
  if(module_dir STREQUAL "Platform")
    set(namespace platform)
  else()
    set(namespace ${module_dir})
  endif()
  file(GLOB_RECURSE module_headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
    ${PROJECT_SOURCE_DIR}/${module_dir}/*.hpp)
  foreach(header ${module_headers})
    file(READ ${PROJECT_SOURCE_DIR}/${header} header_text)
    string(REGEX MATCHALL "[Tt]hrows? (std::[a-z_]+|[A-Z][A-Za-z]*Error)" thrown "${header_text}")
    set(checks "")
    foreach(phrase ${thrown})
      string(REGEX REPLACE "^[Tt]hrows? " "" type "${phrase}")
      string(APPEND checks "static_assert(sizeof(${type}) > 0, \"${header} throws ${type}\");\n")
    endforeach()
    set(content "#include \"${header}\"\n")
    if(checks)
      string(APPEND content "namespace ${namespace} {\n${checks}}  // namespace ${namespace}\n")
    endif()
    string(REGEX REPLACE "\\.hpp$" ".cpp" source "${VELMORA_HEADER_CHECK_DIR}/${header}")
    # Written only when it changes, so that a new configure rebuilds nothing.
    file(CONFIGURE OUTPUT ${source} CONTENT "${content}" @ONLY)
    list(APPEND header_check_sources ${source})
  endforeach()
endforeach()

# Made without the tree's own language standard, as a program outside the tree includes the headers: the
# standard comes from what the libraries require of their users.
set(tree_cxx_standard ${CMAKE_CXX_STANDARD})
unset(CMAKE_CXX_STANDARD)
add_library(header_check OBJECT EXCLUDE_FROM_ALL ${header_check_sources})
set(CMAKE_CXX_STANDARD ${tree_cxx_standard})
target_link_libraries(header_check PRIVATE ${VELMORA_MODULES})
add_test(NAME HeaderSelfContained
  COMMAND ${CMAKE_COMMAND} --build ${PROJECT_BINARY_DIR} --target header_check)
