# Runs check_layers.cmake on small source trees written here: a sound one
# must pass, and each way of breaking the layers must fail naming the file.
# Usage: cmake -DCHECKER=<check_layers.cmake> -DWORK=<scratch folder> -P checker_cases.cmake
cmake_minimum_required(VERSION 3.22)
file(REMOVE_RECURSE "${WORK}")

set(sound_files
  "base/codecs.cpp|#include \"base/codecs.h\"\n#include <QByteArray>\n#include <zip.h>\n"
  "db/database.cpp|#include \"db/database.h\"\n#include \"base/apperror.h\"\n#include <QSqlQuery>\n#include <sqlite3.h>\n"
  "shell/ui/page.cpp|#include \"shell/ui/reportopener.h\"\n#include \"maintenance/ui/window.h\"\n"
  "reports/ui/opener.cpp|#include \"shell/ui/reportopener.h\"\n#include \"reports/ui/preview.h\"\n")

# name | file that breaks the rule | its text
set(cases
  "base_up_to_db|base/taxid.cpp|#include \"base/taxid.h\"\n#include \"db/dberror.h\"\n"
  "base_up_to_shell|base/archive.h|#pragma once\n  #  include \"shell/apppaths.h\"\n"
  "base_sql|base/text.cpp|#include <QSqlQuery>\n"
  "base_engine|base/text.cpp|#include <sqlite3.h>\n"
  "base_widgets|base/box.h|#include <QtWidgets/QMessageBox>\n"
  "db_up_to_maintenance|db/demo.cpp|#include \"db/demo.h\"\n#include \"maintenance/statusevents.h\"\n"
  "db_up_to_shell|db/sub/schema.h|#include \"shell/shared/codecs.h\"\n"
  "db_widgets|db/grid.cpp|#include <QWidget>\n"
  "shell_ui_to_reports_ui|shell/ui/users.cpp|#include \"reports/ui/tfrmrelusuario.h\"\n")

function(write_tree dir)
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 path)
    list(GET parts 1 text)
    string(REPLACE "\\n" "\n" text "${text}")
    file(WRITE "${dir}/${path}" "${text}")
  endforeach()
endfunction()

function(run_checker dir out_rc out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${dir} -P ${CHECKER}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${out_rc} ${rc} PARENT_SCOPE)
  set(${out_text} "${out}${err}" PARENT_SCOPE)
endfunction()

set(failures "")
write_tree("${WORK}/sound" ${sound_files})
run_checker("${WORK}/sound" rc text)
if(NOT rc EQUAL 0)
  list(APPEND failures "sound tree refused:\n${text}")
endif()

foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  list(GET parts 2 text)
  write_tree("${WORK}/${name}" ${sound_files} "${path}|${text}")
  run_checker("${WORK}/${name}" rc out)
  if(rc EQUAL 0)
    list(APPEND failures "${name}: ${path} passed")
  elseif(NOT out MATCHES "${path}:[0-9]+:")
    list(APPEND failures "${name}: failed without naming ${path}:\n${out}")
  elseif(NOT out MATCHES "1 include")
    list(APPEND failures "${name}: more than the one bad include reported:\n${out}")
  endif()
endforeach()

# A folder without the source tree is an error, never a pass.
run_checker("${WORK}/missing" rc text)
if(rc EQUAL 0)
  list(APPEND failures "a missing source folder passed")
endif()

if(failures)
  string(REPLACE ";" "\n" text "${failures}")
  message(FATAL_ERROR "checker cases failed:\n${text}")
endif()
list(LENGTH cases n)
message(STATUS "checker: sound tree passes, ${n} broken trees fail")
