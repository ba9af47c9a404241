# The command line's start: with every library shared, the dynamic loader
# maps eleven of them and binds their symbols before main() runs, about 2 ms
# of processor time on each call of qvell (a third of `qvell --version`). An
# executable whose property QV_STATIC_LIBRARIES is true links the picture and
# number libraries as static archives and the C++ runtime into itself, so
# only libc and libm are left to load. The editor module and the tests keep
# the shared libraries (a module cannot take archives built without -fPIC,
# and it shares Qt's C++ runtime). Sanitizer builds keep them too: their
# runtimes expect the shared C++ runtime.
option(QV_STATIC_CLI "Link qvell with static archives of its libraries and the C++ runtime" ON)

set(QV_STATIC_CLI_ACTIVE OFF)
if(QV_STATIC_CLI AND NOT QV_SANITIZE AND NOT QV_LIBFUZZER)
  set(QV_STATIC_CLI_ACTIVE ON)
endif()

# qv_static_choice(VAR SHARED NAME...): VAR becomes a link item that is the
# static archive libNAME.a (the first found) for an executable that asks for
# static libraries, and SHARED (a library or an imported target) otherwise and
# when no archive is there.
function(qv_static_choice out shared)
  set(${out} ${shared} PARENT_SCOPE)
  if(NOT QV_STATIC_CLI_ACTIVE)
    return()
  endif()
  list(GET ARGN 0 first)
  set(archives "")
  foreach(name IN LISTS ARGN)
    list(APPEND archives lib${name}.a)
  endforeach()
  find_library(QV_STATIC_${first} NAMES ${archives})
  if(QV_STATIC_${first})
    set(${out} "$<IF:$<BOOL:$<TARGET_PROPERTY:QV_STATIC_LIBRARIES>>,${QV_STATIC_${first}},${shared}>"
        PARENT_SCOPE)
  endif()
endfunction()

# Marks target (an executable) to link the archives qv_static_choice found and
# the C++ runtime statically, with the linker's smaller relocation tables.
function(qv_link_static target)
  if(NOT QV_STATIC_CLI_ACTIVE)
    return()
  endif()
  set_target_properties(${target} PROPERTIES QV_STATIC_LIBRARIES ON)
  target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc -Wl,-O1)
  include(CheckLinkerFlag)
  check_linker_flag(CXX "LINKER:-z,pack-relative-relocs" QV_PACK_RELATIVE_RELOCS)
  if(QV_PACK_RELATIVE_RELOCS)
    target_link_options(${target} PRIVATE "LINKER:-z,pack-relative-relocs")
  endif()
endfunction()
