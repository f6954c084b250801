# Writes the scalable icon with the renderer, or leaves none (with a note) where the renderer
# cannot write SVG. Called at build time with RENDER, ARGS (the icon's options, spaces
# between) and OUT.
separate_arguments(args UNIX_COMMAND "${ARGS}")
file(REMOVE "${OUT}")
execute_process(COMMAND "${RENDER}" ${args} -o "${OUT}.new.svg"
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE error)
if(status EQUAL 0 AND EXISTS "${OUT}.new.svg")
  file(RENAME "${OUT}.new.svg" "${OUT}")
else()
  file(REMOVE "${OUT}.new.svg")
  string(REGEX REPLACE "\n.*" "" error "${error}")
  message(STATUS "No scalable icon: the renderer cannot write SVG (${error})")
endif()
