# Run by CPack after it has made the .deb (CPACK_POST_BUILD_SCRIPTS). CPack sums the sizes
# of the files it packs following symbolic links, so the hack's link to the program counts
# the program twice. The package is unpacked, its Installed-Size set as dpkg-gencontrol
# counts it (each file's size in whole KiB, rounded up; 1 KiB for each folder and link),
# and packed again as dpkg-deb packs it.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${CPACK_TOPLEVEL_DIRECTORY}/installed-size)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-deb cannot unpack ${deb}")
  endif()

  set(kib 1)  # the package's top folder
  file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
  foreach(entry IN LISTS entries)
    if(entry MATCHES "^DEBIAN(/|$)")
      continue()
    endif()
    if(IS_SYMLINK ${tree}/${entry} OR IS_DIRECTORY ${tree}/${entry})
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE ${tree}/${entry} bytes)
      math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
    endif()
  endforeach()

  file(READ ${tree}/DEBIAN/control control)
  string(REGEX REPLACE "Installed-Size: [0-9]+" "Installed-Size: ${kib}" control "${control}")
  file(WRITE ${tree}/DEBIAN/control "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${deb}
                  OUTPUT_QUIET RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-deb cannot pack ${deb} again")
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
