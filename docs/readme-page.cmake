# cmake -DCMARK=... -DINPUT=README.md -DTEMPLATE=readme-page.html.in -DOUTPUT=README.html -P
# Turns the README into the documentation page: Japanese first, the English half (after the
# first rule, "---") marked as English so the browser picks its fonts and hyphenation.
execute_process(COMMAND "${CMARK}" -e table -e autolink "${INPUT}" OUTPUT_VARIABLE body
                RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${CMARK} could not read ${INPUT}")
endif()
string(FIND "${body}" "<hr />" rule)
if(rule LESS 0)
    message(FATAL_ERROR "${INPUT} has no rule between its Japanese and English halves")
endif()
string(SUBSTRING "${body}" 0 ${rule} JAPANESE)
math(EXPR rest "${rule} + 6")
string(SUBSTRING "${body}" ${rest} -1 ENGLISH)
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
