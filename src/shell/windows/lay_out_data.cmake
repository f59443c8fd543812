# cmake -DFROM=native/VelmorandiScrData -DTO=windows/VelmorandiScrData -P lay_out_data.cmake
# Copies the generated data folder for the Windows program: the font alias file stays
# behind (Windows has the faces themselves), and the text files go from UTF-8 to CP932.
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
    execute_process(COMMAND iconv -f UTF-8 -t CP932 INPUT_FILE ${FROM}/${name}
                    OUTPUT_FILE ${TO}/${name} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "${FROM}/${name} has text that CP932 cannot hold")
    endif()
  else()
    file(COPY_FILE ${FROM}/${name} ${TO}/${name} ONLY_IF_DIFFERENT)
  endif()
endforeach()
