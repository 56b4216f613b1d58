# The sources the fuzzing harnesses build instrumented (tests/fuzz). The
# harnesses link those objects first and take the rest of the core from a
# plain library, so in that library each of these files must stay an object
# of its own: a batched object would bring a second copy along.
file(GLOB CORVANE_UNDER_FUZZ CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/import/importtextfile.cpp ${PROJECT_SOURCE_DIR}/src/import/importfilereader.cpp
  ${PROJECT_SOURCE_DIR}/src/import/datastruct*.cpp ${PROJECT_SOURCE_DIR}/src/import/descriptor*.cpp
  ${PROJECT_SOURCE_DIR}/src/import/empresastruct_validate.cpp ${PROJECT_SOURCE_DIR}/src/import/importdates.cpp
  ${PROJECT_SOURCE_DIR}/src/db/paradox*.cpp
  ${PROJECT_SOURCE_DIR}/src/base/archive.cpp ${PROJECT_SOURCE_DIR}/src/base/codecs.cpp
  ${PROJECT_SOURCE_DIR}/src/base/ftpaddress.cpp
  ${PROJECT_SOURCE_DIR}/src/net/ftpclient.cpp ${PROJECT_SOURCE_DIR}/src/remessa/manualresult.cpp
  ${PROJECT_SOURCE_DIR}/src/refupdate/refversion.cpp)
