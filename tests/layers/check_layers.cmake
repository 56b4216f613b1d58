# Fails when a source of src/ includes against the floors of the code. Every
# .h/.cpp under src/ is read and judged by the rule of its folder in the table
# below; a file no rule covers fails too, and so does an allowance that no
# include needs any more.
# Usage: cmake -DSRC=<source folder> [-DALLOWANCES=<list>] -P check_layers.cmake
cmake_minimum_required(VERSION 3.22)
if(NOT SRC OR NOT IS_DIRECTORY "${SRC}")
  message(FATAL_ERROR "check_layers: SRC must name the source folder (got '${SRC}')")
endif()

# System headers, by library. Module headers (<QtWidgets>) and class headers
# (<QMessageBox>) alike.
set(qt_gui "^(QtGui(/|$)|QGuiApplication|QScreen|QColor|QIcon|QPixmap|QImage|QFont|QPainter|QPalette|QBrush|QPen|\
QCursor|QClipboard|QAction|QShortcut|QKeySequence|QKeyEvent|QMouseEvent|QFocusEvent|QCloseEvent|QValidator|\
QIntValidator|QDoubleValidator|QRegularExpressionValidator|QStandardItem|QTextCursor|QTextDocument|QPdfWriter|\
QPageLayout|QPageSize|QPagedPaintDevice|QFileSystemModel|QDesktopServices|QMovie|QPolygon|QRegion|QTransform)")
set(qt_widgets "^(QtWidgets|QtPrintSupport)(/|$)|^(QPrint|QAbstract(Button|ItemView|ScrollArea|Spin|Slider)|\
QApplication|QWidget|QDialog|QMessageBox|QMainWindow|QFileDialog|QInputDialog|QProgressDialog|QLabel|QLineEdit|\
QPlainTextEdit|QTextEdit|QTextBrowser|QPushButton|QToolButton|QRadioButton|QCheckBox|QButtonGroup|QComboBox|\
QSpinBox|QDoubleSpinBox|QDateEdit|QDateTimeEdit|QTimeEdit|QGroupBox|QFrame|QSplitter|QScrollArea|QStackedWidget|\
QTabWidget|QTabBar|QTableView|QTableWidget|QTreeView|QTreeWidget|QListView|QListWidget|QHeaderView|QStyle|\
QProgressBar|QStatusBar|QToolBar|QMenu|QMenuBar|QCompleter|QCalendarWidget|QSizePolicy|QSpacerItem|QLayout|\
QBoxLayout|QHBoxLayout|QVBoxLayout|QGridLayout|QFormLayout|QStackedLayout|QItemDelegate|QStyledItemDelegate)")
set(qt_sql "^(QtSql(/|$)|QSql)")
set(engines "^(sqlite3[.]h|curl/|pxlib[.]h)")

# The subsystems: each has its services in <name>/ and its windows in
# <name>/ui/ (maintenance also in maintenance/<domain>/ui/).
set(subsystems "(shell|maintenance|remessa|refupdate|import|reports)")

# The rule table, bottom floor first. A rule governs the files whose path under
# src/ matches FOLDERS; they may include (in quotes) files of the floors named
# in INCLUDES only, and no system header matching REFUSES. The floor of an
# included file is that of the first rule whose FOLDERS it matches, so the
# windows come before the services whose folders hold them. "own-windows" is
# the windows of the including file's own subsystem.
set(rules "")
macro(rule name)
  cmake_parse_arguments(r "" "FOLDERS;REFUSES" "INCLUDES" ${ARGN})
  list(APPEND rules ${name})
  set(rule_${name}_folders "${r_FOLDERS}")
  set(rule_${name}_includes ${r_INCLUDES})
  set(rule_${name}_refuses "${r_REFUSES}")
endmacro()

rule(base FOLDERS "^base/" INCLUDES base REFUSES "${qt_gui}|${qt_widgets}|${qt_sql}|${engines}")
rule(db FOLDERS "^db/" INCLUDES db base REFUSES "${qt_widgets}")
rule(net FOLDERS "^net/" INCLUDES net base REFUSES "${qt_widgets}")
rule(register FOLDERS "^register/" INCLUDES register db base REFUSES "${qt_widgets}")
rule(windows FOLDERS "^${subsystems}/(.+/)?ui/" INCLUDES own-windows widgets services register net db base)
rule(services FOLDERS "^${subsystems}/" INCLUDES services register net db base REFUSES "${qt_widgets}")
rule(widgets FOLDERS "^widgets/" INCLUDES widgets services register net db base)
rule(app FOLDERS "^app/" INCLUDES app windows widgets services register net db base)
rule(cli FOLDERS "^cli/" INCLUDES cli services register net db base REFUSES "${qt_widgets}")

# Includes the table refuses but today's tree still holds, as
# "<file> <included file>"; each must be in use (one that no include needs
# fails the check), so the list only shrinks.
set(allowances "")
# The checker's own cases bring their list ("<file> <included file>|...").
if(DEFINED ALLOWANCES)
  string(REPLACE "|" ";" allowances "${ALLOWANCES}")
endif()

# The floor of a path under src/ (empty when no rule covers it).
function(floor_of path out)
  foreach(name IN LISTS rules)
    if(path MATCHES "${rule_${name}_folders}")
      set(${out} ${name} PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
endfunction()

# Whether a file of floor `floor` at `path` may include `target`.
function(may_include floor path target out)
  floor_of("${target}" to)
  set(ok FALSE)
  if(to)
    if(to IN_LIST rule_${floor}_includes)
      set(ok TRUE)
    elseif(to STREQUAL "windows" AND "own-windows" IN_LIST rule_${floor}_includes)
      string(REGEX MATCH "^[^/]+" mine "${path}")
      string(REGEX MATCH "^[^/]+" theirs "${target}")
      if(mine STREQUAL theirs)
        set(ok TRUE)
      endif()
    endif()
  endif()
  set(${out} ${ok} PARENT_SCOPE)
endfunction()

set(problems "")
set(uncovered "")
set(used "")
file(GLOB_RECURSE files "${SRC}/*.h" "${SRC}/*.cpp")
list(SORT files)
list(LENGTH files checked)
foreach(file IN LISTS files)
  file(RELATIVE_PATH rel "${SRC}" "${file}")
  floor_of("${rel}" floor)
  if(NOT floor)
    list(APPEND uncovered "${rel}")
    continue()
  endif()
  set(refuses "${rule_${floor}_refuses}")
  file(STRINGS "${file}" lines)
  set(n 0)
  foreach(line IN LISTS lines)
    math(EXPR n "${n} + 1")
    if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(target "${CMAKE_MATCH_1}")
      may_include(${floor} "${rel}" "${target}" ok)
      if(NOT ok)
        if("${rel} ${target}" IN_LIST allowances)
          list(APPEND used "${rel} ${target}")
        else()
          list(APPEND problems "${rel}:${n}: \"${target}\"")
        endif()
      endif()
    elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
      set(target "${CMAKE_MATCH_1}")
      if(refuses AND target MATCHES "${refuses}")
        list(APPEND problems "${rel}:${n}: <${target}>")
      endif()
    endif()
  endforeach()
endforeach()

set(stale ${allowances})
if(used)
  list(REMOVE_ITEM stale ${used})
endif()

set(report "")
if(checked EQUAL 0)
  string(APPEND report "\n  no source files under ${SRC}")
endif()
# Adds "<count> <title>:" and the findings, one a line, when there are any.
function(report_findings title)
  if(ARGN)
    list(LENGTH ARGN count)
    string(REPLACE ";" "\n  " text "${ARGN}")
    set(report "${report}\n${count} ${title}:\n  ${text}" PARENT_SCOPE)
  endif()
endfunction()
report_findings("include(s) against the layers" ${problems})
report_findings("file(s) in a folder no rule covers" ${uncovered})
report_findings("allowance(s) no include needs any more (remove them)" ${stale})
if(report)
  message(FATAL_ERROR "check_layers:${report}")
endif()
list(LENGTH used allowed)
message(STATUS "check_layers: ${checked} files, includes follow the layers (${allowed} allowed for now)")
