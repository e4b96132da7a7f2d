# Delay-loaded DLLs: the loader resolves a program's ordinary imports, and
# theirs, before its entry point runs, searching the program's own folder
# first; a delay-loaded DLL is loaded at its first call, after start-up has
# limited the search to the system folder. Each NAME becomes lib<NAME>-delay.a
# in the build folder, linked into TARGET ahead of the ordinary import library.
#   velmor_delay_load(TARGET NAME...)
function(velmor_delay_load target)
  find_program(VELMOR_DLLTOOL NAMES ${CMAKE_DLLTOOL} x86_64-w64-mingw32-dlltool REQUIRED)
  find_program(VELMOR_NM NAMES ${CMAKE_NM} x86_64-w64-mingw32-nm REQUIRED)
  foreach(name IN LISTS ARGN)
    find_library(VELMOR_IMPORT_${name} NAMES lib${name}.a REQUIRED)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/lib${name}-delay.a)
    add_custom_command(OUTPUT ${out}
      COMMAND ${CMAKE_COMMAND} -E env NM=${VELMOR_NM} DLLTOOL=${VELMOR_DLLTOOL}
              ${CMAKE_SOURCE_DIR}/cmake/make-delay-lib ${VELMOR_IMPORT_${name}} ${name}.dll ${out}
      DEPENDS ${CMAKE_SOURCE_DIR}/cmake/make-delay-lib
      COMMENT "Delay-load import library for ${name}.dll")
    add_custom_target(${target}-${name}-delay DEPENDS ${out})
    add_dependencies(${target} ${target}-${name}-delay)
    target_link_libraries(${target} PRIVATE ${out})
  endforeach()
endfunction()
