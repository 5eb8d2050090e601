# Compiles IDL files with widl into C/C++ headers and type libraries.
find_program(WIDL NAMES ${WIDL_EXECUTABLE} REQUIRED)
set(WIDL_IMPORT_DIRS /usr/include/wine/wine/windows /usr/include/wine/windows CACHE STRING "Folders of oaidl.idl and ocidl.idl")
set(WIDL_TLB_DIRS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/wine/x86_64-windows CACHE STRING "Folders searched for stdole2.tlb")

# widl_compile(IDL <file> OUTPUT_DIR <dir> [INCLUDE_DIRS ...] [DEPENDS ...] HEADER <var> [TLB <var>] [IID <var>])
function(widl_compile)
  cmake_parse_arguments(W "" "IDL;OUTPUT_DIR;HEADER;TLB;IID" "INCLUDE_DIRS;DEPENDS" ${ARGN})
  get_filename_component(name ${W_IDL} NAME_WE)
  set(args)
  foreach(d ${WIDL_IMPORT_DIRS} ${W_INCLUDE_DIRS})
    list(APPEND args -I${d})
  endforeach()
  foreach(d ${WIDL_TLB_DIRS} ${W_OUTPUT_DIR})
    list(APPEND args -L${d})
  endforeach()
  set(header ${W_OUTPUT_DIR}/${name}.h)
  add_custom_command(OUTPUT ${header}
    COMMAND ${WIDL} ${args} -h -o ${header} ${W_IDL}
    DEPENDS ${W_IDL} ${W_DEPENDS} VERBATIM)
  set(${W_HEADER} ${header} PARENT_SCOPE)
  if(W_IID)
    set(iid ${W_OUTPUT_DIR}/${name}_i.c)
    add_custom_command(OUTPUT ${iid}
      COMMAND ${WIDL} ${args} -u -o ${iid} ${W_IDL}
      DEPENDS ${W_IDL} ${W_DEPENDS} VERBATIM)
    set(${W_IID} ${iid} PARENT_SCOPE)
  endif()
  if(W_TLB)
    set(tlb ${W_OUTPUT_DIR}/${name}.tlb)
    add_custom_command(OUTPUT ${tlb}
      COMMAND ${WIDL} ${args} -t -o ${tlb} ${W_IDL}
      DEPENDS ${W_IDL} ${W_DEPENDS} VERBATIM)
    set(${W_TLB} ${tlb} PARENT_SCOPE)
  endif()
endfunction()
