# vm_wayland_protocol(TARGET XML...): compiles into TARGET the client code that wayland-scanner
# makes of each protocol description, and gives TARGET and what links it the header, named
# after the file ("xdg-shell.xml" gives <xdg-shell-client-protocol.h>).
find_program(VM_WAYLAND_SCANNER wayland-scanner REQUIRED)

function(vm_wayland_protocol target)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols)
  file(MAKE_DIRECTORY ${dir})
  foreach(xml IN LISTS ARGN)
    get_filename_component(base ${xml} NAME_WE)
    add_custom_command(
      OUTPUT ${dir}/${base}-client-protocol.h
      COMMAND ${VM_WAYLAND_SCANNER} client-header ${xml} ${dir}/${base}-client-protocol.h
      DEPENDS ${xml})
    add_custom_command(
      OUTPUT ${dir}/${base}-protocol.c
      COMMAND ${VM_WAYLAND_SCANNER} private-code ${xml} ${dir}/${base}-protocol.c
      DEPENDS ${xml})
    target_sources(${target} PRIVATE ${dir}/${base}-protocol.c ${dir}/${base}-client-protocol.h)
  endforeach()
  target_include_directories(${target} SYSTEM PUBLIC ${dir})
endfunction()
