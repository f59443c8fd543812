# cmake -DFROM=native/VelmorandiScrData -DTO=windows/VelmorandiScrData -P lay_out_data.cmake
# Copies the generated data folder for the Windows program: the font alias file stays
# behind (Windows has the faces themselves), and the text files go from UTF-8 with LF to
# CP932 with CR LF, as Windows' own editors write them.
if(NOT IS_DIRECTORY ${FROM})
  message(FATAL_ERROR "${FROM} is missing: build the native data first (scripts/build-windows does)")
endif()
file(MAKE_DIRECTORY ${TO})
file(GLOB names RELATIVE ${FROM} ${FROM}/*)
foreach(name IN LISTS names)
  if(name STREQUAL "fonts.conf")
    continue()
  endif()
  if(name MATCHES "\\.txt$")
    file(READ ${FROM}/${name} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${TO}/${name}.crlf "${text}")
    execute_process(COMMAND iconv -f UTF-8 -t CP932 INPUT_FILE ${TO}/${name}.crlf
                    OUTPUT_FILE ${TO}/${name} RESULT_VARIABLE failed)
    file(REMOVE ${TO}/${name}.crlf)
    if(failed)
      message(FATAL_ERROR "${FROM}/${name} has text that CP932 cannot hold")
    endif()
  else()
    file(COPY_FILE ${FROM}/${name} ${TO}/${name} ONLY_IF_DIFFERENT)
  endif()
endforeach()
