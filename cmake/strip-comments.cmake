# Run by CPack on the staged files before it packs them: removes the compiler's .comment and
# .note sections from the programs, as Debian's own packaging does (CPack's strip leaves them).
find_program(STRIP NAMES strip REQUIRED)
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
foreach(program ${programs})
  if(NOT IS_SYMLINK "${program}")
    execute_process(COMMAND "${STRIP}" --remove-section=.comment --remove-section=.note
                            "${program}" COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
