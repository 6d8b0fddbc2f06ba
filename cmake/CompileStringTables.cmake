# Writes a C++ source that holds every string table of the resource bundles,
# <RESOURCES>/<Bundle>.bundle/<language>.lproj/<Table>.json, byte for byte, and defines
# platform::compiledStringTables() over them, so the platform library carries the texts itself.
# Usage: cmake -DRESOURCES=<resources folder> -DOUTPUT=<source to write> -P CompileStringTables.cmake
file(GLOB tables RELATIVE ${RESOURCES} ${RESOURCES}/*.bundle/*.lproj/*.json)
if(NOT tables)
  message(FATAL_ERROR "no string tables in ${RESOURCES}")
endif()
list(SORT tables)
string(REPEAT "." 128 line_of_escapes)  # 32 bytes as \xNN escapes
set(entries "")
foreach(table IN LISTS tables)
  if(NOT table MATCHES "^([A-Za-z0-9_-]+)\\.bundle/([A-Za-z0-9_-]+)\\.lproj/([A-Za-z0-9_-]+)\\.json$")
    message(FATAL_ERROR "cannot compile in ${table}: bundle, language and table names are letters, digits, _ and -")
  endif()
  set(names "\"${CMAKE_MATCH_1}\", \"${CMAKE_MATCH_2}\", \"${CMAKE_MATCH_3}\"")
  file(READ ${RESOURCES}/${table} bytes HEX)
  string(LENGTH "${bytes}" length)
  math(EXPR length "${length} / 2")
  # Every byte as an escape, 32 to a line: "\x7b\x0a..." (an escape never runs into the next one).
  string(REGEX REPLACE "(..)" "\\\\x\\1" bytes "${bytes}")
  string(REGEX REPLACE "(${line_of_escapes})" "\\1\"\n      \"" bytes "${bytes}")
  string(APPEND entries "    {${names},\n     {\"${bytes}\", ${length}}},\n")
endforeach()

file(WRITE ${OUTPUT} "// Generated at build time by cmake/CompileStringTables.cmake from resources/: do not edit.
#include \"Platform/Foundation/LocalizedStrings.hpp\"

namespace platform {

std::span<const CompiledStringTable> compiledStringTables() {
  static constexpr CompiledStringTable tables[] = {
${entries}  };
  return tables;
}

}  // namespace platform
")
