# Fails when an include goes against the layers of src/, each of which may
# include only what lies below it:
#   base/      only base/, Qt Core/Gui, libzip and system headers;
#   db/        only db/ and base/ among the project's folders;
#   shell/ui/  never reports/ui/ (reports are opened through
#              shell/ui/reportopener.h, implemented above it).
# Usage: cmake -DSRC=<source folder> -P check_layers.cmake
cmake_minimum_required(VERSION 3.22)
if(NOT SRC OR NOT IS_DIRECTORY "${SRC}")
  message(FATAL_ERROR "check_layers: SRC must name the source folder (got '${SRC}')")
endif()

# Headers of the libraries above base: the database engine, the network, the
# Paradox reader, Qt's SQL, widget and printing modules.
set(widget_headers "^(QtWidgets/|QtPrintSupport/|QPrint|QWidget|QApplication|QDialog|QMessageBox|QMainWindow)")
set(base_system_deny "^(sqlite3[.]h|curl/|pxlib[.]h|QSql|QtSql/)|${widget_headers}")

set(problems "")
set(checked 0)

# Checks every .h/.cpp under SRC/folder. A quoted include must match the
# regex in variable allow_var (when set) and must not match deny_var; an
# angle-bracket include must not match system_deny_var.
function(check_folder folder allow_var deny_var system_deny_var)
  set(allow "${${allow_var}}")
  set(deny "${${deny_var}}")
  set(system_deny "${${system_deny_var}}")
  file(GLOB_RECURSE files "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
  set(found "")
  set(count ${checked})
  foreach(file IN LISTS files)
    math(EXPR count "${count} + 1")
    file(RELATIVE_PATH rel "${SRC}" "${file}")
    file(STRINGS "${file}" lines)
    set(n 0)
    foreach(line IN LISTS lines)
      math(EXPR n "${n} + 1")
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
        set(target "${CMAKE_MATCH_1}")
        if((allow AND NOT target MATCHES "${allow}") OR (deny AND target MATCHES "${deny}"))
          list(APPEND found "${rel}:${n}: \"${target}\"")
        endif()
      elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
        set(target "${CMAKE_MATCH_1}")
        if(system_deny AND target MATCHES "${system_deny}")
          list(APPEND found "${rel}:${n}: <${target}>")
        endif()
      endif()
    endforeach()
  endforeach()
  set(problems ${problems} ${found} PARENT_SCOPE)
  set(checked ${count} PARENT_SCOPE)
endfunction()

set(base_allow "^base/")
set(db_allow "^(db|base)/")
set(shell_ui_deny "^reports/ui/")
set(none "")
check_folder(base base_allow none base_system_deny)
check_folder(db db_allow none widget_headers)
check_folder(shell/ui none shell_ui_deny none)

if(checked EQUAL 0)
  message(FATAL_ERROR "check_layers: no source files under ${SRC}/base, db or shell/ui")
endif()
if(problems)
  list(LENGTH problems count)
  string(REPLACE ";" "\n  " text "${problems}")
  message(FATAL_ERROR "check_layers: ${count} include(s) against the layers:\n  ${text}")
endif()
message(STATUS "check_layers: ${checked} files, includes follow the layers")
