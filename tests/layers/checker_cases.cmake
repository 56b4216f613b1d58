# Runs check_layers.cmake on small source trees written here: a sound one,
# holding a file of every floor, must pass; each broken tree (the sound one
# plus one planted file) must fail naming that file, its line and its include,
# and nothing else.
# Usage: cmake -DCHECKER=<check_layers.cmake> -DWORK=<scratch folder> -P checker_cases.cmake
cmake_minimum_required(VERSION 3.22)
file(REMOVE_RECURSE "${WORK}")

# path | text; every include here is one its floor may make.
set(sound_files
  "base/codecs.cpp|#include \"base/codecs.h\"\n#include <QByteArray>\n#include <QDir>\n#include <zip.h>\n"
  "db/database.cpp|#include \"db/database.h\"\n#include \"base/apperror.h\"\n#include <QSqlQuery>\n#include <sqlite3.h>\n#include <pxlib.h>\n"
  "net/ftpclient.cpp|#include \"net/ftpclient.h\"\n#include \"base/ftpaddress.h\"\n#include <curl/curl.h>\n"
  "register/statusevents.cpp|#include \"register/statusevents.h\"\n#include \"db/database.h\"\n#include \"base/apperror.h\"\n"
  "shell/startupcheck.cpp|#include \"shell/configlocal.h\"\n#include \"remessa/remessaconfig.h\"\n#include \"register/statusevents.h\"\n#include \"net/ftpclient.h\"\n#include <QSqlQuery>\n"
  "maintenance/certificates/approval.cpp|#include \"maintenance/certificates/certificate.h\"\n#include \"maintenance/statusfilter.h\"\n"
  "reports/bandedreport.cpp|#include \"reports/bandedreport.h\"\n#include <QPdfWriter>\n#include <QPainter>\n"
  "widgets/dialogparts.cpp|#include \"widgets/dialogparts.h\"\n#include \"shell/appversion.h\"\n#include <QDialog>\n#include <QtWidgets/QLabel>\n"
  "remessa/ui/transferwindow.cpp|#include \"remessa/ui/transferreceipt.h\"\n#include \"remessa/packagetransfer.h\"\n#include \"reports/bandedreport.h\"\n#include \"widgets/dialogparts.h\"\n#include <QMessageBox>\n"
  "maintenance/companies/ui/companypage.cpp|#include \"maintenance/ui/tformprincipal.h\"\n#include \"maintenance/products/ui/productpanel.h\"\n#include \"maintenance/companies/ui/companygrid.h\"\n"
  "shell/ui/tfrmloginusuario.cpp|#include \"shell/ui/configpageparts.h\"\n#include \"shell/loginservice.h\"\n#include <QApplication>\n"
  "app/tfrmcapasistema.cpp|#include \"app/corvaneapplication.h\"\n#include \"remessa/ui/transferwindow.h\"\n#include \"maintenance/ui/tformprincipal.h\"\n#include \"reports/ui/reportpreview.h\"\n#include \"widgets/qtmessenger.h\"\n#include \"db/database.h\"\n#include <QMainWindow>\n"
  "cli/main.cpp|#include \"cli/commands.h\"\n#include \"remessa/packagetransfer.h\"\n#include \"db/database.h\"\n#include <QCoreApplication>\n#include <QGuiApplication>\n")

# name | planted file | its text, the last line the one bad include
set(cases
  "base_up_to_db|base/taxid.cpp|#include \"base/taxid.h\"\n#include \"db/dberror.h\"\n"
  "base_up_to_shell|base/archive.h|#pragma once\n  #  include \"shell/apppaths.h\"\n"
  "base_up_to_register|base/text.cpp|#include \"register/sendabletext.h\"\n"
  "base_gui|base/fileutil.cpp|#include <QDir>\n#include <QGuiApplication>\n"
  "base_gui_module|base/fileutil.cpp|#include <QtGui/QScreen>\n"
  "base_sql|base/text.cpp|#include <QSqlQuery>\n"
  "base_engine|base/text.cpp|#include <sqlite3.h>\n"
  "base_curl|base/text.cpp|#include <curl/curl.h>\n"
  "base_pxlib|base/text.cpp|#include <pxlib.h>\n"
  "base_widgets|base/box.h|#include <QtWidgets/QMessageBox>\n"
  "base_print|base/box.h|#include <QPrinter>\n"
  "db_up_to_maintenance|db/demo.cpp|#include \"db/demo.h\"\n#include \"maintenance/statusevents.h\"\n"
  "db_up_to_register|db/sub/schema.h|#include \"register/statusevents.h\"\n"
  "db_up_to_net|db/schema.h|#include \"net/ftpclient.h\"\n"
  "db_widgets|db/grid.cpp|#include <QWidget>\n"
  "net_up_to_db|net/smtpsender.cpp|#include \"net/smtpsender.h\"\n#include \"db/database.h\"\n"
  "net_up_to_shell|net/smtpsender.cpp|#include \"shell/configlocal.h\"\n"
  "net_widgets|net/ftpclient.h|#include <QApplication>\n"
  "register_up_to_maintenance|register/regulatorholding.h|#include \"maintenance/certificates/certificate.h\"\n"
  "register_to_net|register/sendabletext.cpp|#include \"net/ftpclient.h\"\n"
  "register_widgets|register/sendabletext.cpp|#include <QMessageBox>\n"
  "service_to_own_windows|remessa/remessapreparation.cpp|#include \"remessa/remessaconfig.h\"\n#include \"remessa/ui/transferwindow.h\"\n"
  "domain_service_to_windows|maintenance/certificates/approval.h|#include \"maintenance/certificates/ui/certificatepage.h\"\n"
  "service_to_widgets|shell/compaction.cpp|#include \"widgets/dialogparts.h\"\n"
  "service_to_app|reports/reportdata.cpp|#include \"app/tfrmcapasistema.h\"\n"
  "service_widgets_module|remessa/remessacontrol.cpp|#include <QtWidgets/QMessageBox>\n"
  "service_dialog|import/importer.cpp|#include <QDialog>\n"
  "service_printing|reports/reportdata.cpp|#include <QtPrintSupport/QPrinter>\n"
  "service_print_dialog|reports/reportdata.cpp|#include <QPrintDialog>\n"
  "widgets_to_windows|widgets/reportlist.cpp|#include \"reports/ui/reportpreview.h\"\n"
  "widgets_to_app|widgets/startpicture.cpp|#include \"app/tfrmcapasistema.h\"\n"
  "windows_to_other_subsystem|remessa/ui/tfrmgravadisquete.cpp|#include \"remessa/ui/transferreceipt.h\"\n#include \"reports/ui/bandedreport.h\"\n"
  "domain_windows_to_other_subsystem|maintenance/companies/ui/companypage.cpp|#include \"import/ui/tfrmimporta.h\"\n"
  "shell_windows_to_maintenance_windows|shell/ui/tfrmbrowse.cpp|#include \"maintenance/ui/tformprincipal.h\"\n"
  "windows_to_app|remessa/ui/tfrmprincipalremessas.cpp|#include \"app/tfrmcapasistema.h\"\n"
  "domain_windows_to_app|maintenance/tables/ui/tablespage.cpp|#include \"app/corvaneapplication.h\"\n"
  "windows_to_cli|import/ui/tfrmimporta.cpp|#include \"cli/commands.h\"\n"
  "app_to_cli|app/main.cpp|#include \"cli/commands.h\"\n"
  "cli_to_widgets|cli/cmd_import.cpp|#include \"cli/commands.h\"\n#include \"widgets/qtmessenger.h\"\n"
  "cli_to_windows|cli/cmd_remessa.cpp|#include \"remessa/ui/transferwindow.h\"\n"
  "cli_to_app|cli/main.cpp|#include \"app/corvaneapplication.h\"\n"
  "cli_widgets|cli/cmd_init.cpp|#include <QMessageBox>\n"
  "include_from_unknown_folder|shell/userstore.cpp|#include \"tools/generated.h\"\n")

function(write_tree dir)
  foreach(entry IN LISTS ARGN)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 path)
    list(GET parts 1 text)
    file(WRITE "${dir}/${path}" "${text}")
  endforeach()
endfunction()

# Runs the checker on dir with the given allowances ("" for none).
function(run_checker dir allowances out_rc out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSRC=${dir} "-DALLOWANCES=${allowances}" -P ${CHECKER}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(${out_rc} ${rc} PARENT_SCOPE)
  set(${out_text} "${out}${err}" PARENT_SCOPE)
endfunction()

# Expects the run on tree `name` to fail with exactly one finding of kind
# `count_text`, whose line is `expected`.
function(expect_one_finding name rc out count_text expected)
  if(rc EQUAL 0)
    set(failure "${name}: passed")
  else()
    string(FIND "${out}" "${expected}" at)
    if(at EQUAL -1)
      set(failure "${name}: failed without reporting '${expected}':\n${out}")
    else()
      # cmake indents the lines of the message it prints.
      string(FIND "${out}" " 1 ${count_text}" one)
      string(FIND "${out}" "include(s) against" includes)
      if(one EQUAL -1)
        set(failure "${name}: more than the one finding reported:\n${out}")
      elseif(NOT includes EQUAL -1 AND NOT count_text MATCHES "^include")
        set(failure "${name}: an include reported besides:\n${out}")
      endif()
    endif()
  endif()
  if(failure)
    set(failures ${failures} "${failure}" PARENT_SCOPE)
  endif()
endfunction()

set(failures "")
write_tree("${WORK}/sound" ${sound_files})
run_checker("${WORK}/sound" "" rc text)
if(NOT rc EQUAL 0)
  list(APPEND failures "sound tree refused:\n${text}")
endif()

foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  list(GET parts 2 text)
  # The report names the planted file, the bad include's line and the include.
  string(REGEX MATCHALL "\n" breaks "${text}")
  list(LENGTH breaks line)
  string(REGEX MATCH "include[ \t]*([\"<][^\"<>]+[\">])\n$" found "${text}")
  set(include "${CMAKE_MATCH_1}")
  write_tree("${WORK}/${name}" ${sound_files} "${path}|${text}")
  run_checker("${WORK}/${name}" "" rc out)
  expect_one_finding(${name} "${rc}" "${out}" "include(s)" "${path}:${line}: ${include}")
endforeach()

# Every file needs a rule: one in a folder no rule covers, or at the top of
# src/, fails the check.
foreach(stray "tools/generate.cpp" "stray.h")
  string(MAKE_C_IDENTIFIER "unknown_${stray}" name)
  write_tree("${WORK}/${name}" ${sound_files} "${stray}|#include \"base/codecs.h\"\n")
  run_checker("${WORK}/${name}" "" rc out)
  expect_one_finding(${name} "${rc}" "${out}" "file(s) in a folder no rule covers" " ${stray}\n")
endforeach()

# An allowance lets its one include through, in its one file...
set(allowance "remessa/ui/tfrmgravadisquete.cpp reports/ui/bandedreport.h")
set(planted "remessa/ui/tfrmgravadisquete.cpp|#include \"reports/ui/bandedreport.h\"\n")
write_tree("${WORK}/allowance_used" ${sound_files} "${planted}")
run_checker("${WORK}/allowance_used" "${allowance}" rc out)
if(NOT rc EQUAL 0)
  list(APPEND failures "allowance_used: the allowed include refused:\n${out}")
endif()
write_tree("${WORK}/allowance_other_file" ${sound_files} "${planted}"
           "remessa/ui/transferwindow.cpp|#include \"reports/ui/bandedreport.h\"\n")
run_checker("${WORK}/allowance_other_file" "${allowance}" rc out)
expect_one_finding(allowance_other_file "${rc}" "${out}" "include(s)"
                   "remessa/ui/transferwindow.cpp:1: \"reports/ui/bandedreport.h\"")
# ...and one that no include needs any more fails, so the list cannot rot.
set(unused "shell/ui/tfrmbrowse.cpp reports/ui/reportpreview.h")
run_checker("${WORK}/sound" "${allowance}|${unused}" rc out)
string(FIND "${out}" " 2 allowance(s) no include needs any more" two)
string(FIND "${out}" " ${allowance}\n" first)
string(FIND "${out}" " ${unused}\n" second)
if(rc EQUAL 0 OR two EQUAL -1 OR first EQUAL -1 OR second EQUAL -1)
  list(APPEND failures "allowance_stale: unused allowances not reported:\n${out}")
endif()

# A folder without the source tree is an error, never a pass.
run_checker("${WORK}/missing" "" rc text)
if(rc EQUAL 0)
  list(APPEND failures "a missing source folder passed")
endif()

if(failures)
  string(REPLACE ";" "\n" text "${failures}")
  message(FATAL_ERROR "checker cases failed:\n${text}")
endif()
list(LENGTH cases n)
message(STATUS "checker: sound tree passes, ${n} planted includes, 2 stray files and a stale allowance fail")
