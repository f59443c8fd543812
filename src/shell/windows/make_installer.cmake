# cmake -DMAKENSIS=makensis -DNSI=setup.nsi -DSCR=velmorandi.scr -DICON=velmorandi.ico
#       -DVERSION=1.0.0 -DPUBLISHER=... -DWORK=<folder> -DOUT=<setup.exe> -P make_installer.cmake
# Builds the installer of the .scr and the data folder beside it. The data folder's files
# are listed for it as they are now, one File line each, and for its uninstaller one Delete
# line each, so that it removes what was installed and nothing else. The installed size
# (the .scr and the data, in KiB) goes to Programs and Features.
get_filename_component(bin ${SCR} DIRECTORY)
set(data ${bin}/VelmorandiScrData)
file(GLOB names RELATIVE ${data} ${data}/*)
list(SORT names)
set(install "")
set(removal "")
file(SIZE ${SCR} bytes)
foreach(name IN LISTS names)
  if(IS_DIRECTORY ${data}/${name})
    message(FATAL_ERROR "${data}/${name}: the data folder holds files only")
  endif()
  string(APPEND install "File \"${data}/${name}\"\n")
  string(APPEND removal "Delete \"$SYSDIR\\VelmorandiScrData\\${name}\"\n")
  file(SIZE ${data}/${name} size)
  math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR kib "(${bytes} + 1023) / 1024")
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/install_files.nsh "${install}")
file(WRITE ${WORK}/removed_files.nsh "${removal}")

execute_process(
  COMMAND ${MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DPUBLISHER=${PUBLISHER}
          -DBIN=${bin} -DICON=${ICON} -DFILES=${WORK}/install_files.nsh
          -DREMOVALS=${WORK}/removed_files.nsh -DSIZE_KB=${kib} -DOUTFILE=${OUT} ${NSI}
  RESULT_VARIABLE failed)
if(failed)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "makensis could not build ${OUT}")
endif()
