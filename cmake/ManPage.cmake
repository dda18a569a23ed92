# Writes the manual page of bookloom-cli from its own help texts: the program's --help and
# --version through help2man, with every command's --help in a section of its own.
# Run as: cmake -DCLI=<bookloom-cli> -DOUTPUT=<page> -DWORK=<folder> -P ManPage.cmake
set(include_file ${WORK}/bookloom-cli.h2m)
set(commands "")
foreach(command make info extract prepare formats)
  execute_process(COMMAND ${CLI} ${command} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CLI} ${command} --help failed")
  endif()
  # A line of help that starts with a dot or an apostrophe (".cb7, .cbt") would be read as a request:
  # the zero-width escape keeps it text. A backslash is written as troff's escape of it.
  string(REPLACE "\\" "\\e" help "${help}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
  string(APPEND commands ".SS ${command}\n.nf\n${help}\n.fi\n")
endforeach()
file(WRITE ${include_file} "[COMMANDS]\n${commands}\n[SEE ALSO]\nbookloom(1), the window that makes the same books.\n")
execute_process(
  COMMAND help2man --no-info --no-discard-stderr --section=1
    --name "makes Wolf e-books from text files and pictures" --include ${include_file} --output ${OUTPUT} ${CLI}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed")
endif()
