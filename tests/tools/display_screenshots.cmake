# Writes the display's pictures with the tool, from the demo's mix:
#   display-flat.png  the defaults, the display open
#   display-demo.png  the demo's setting at the end of the demo's mix
#   display-200.png   the same at 200 %
# cmake -DTOOL=... -DBUNDLE=... -DOUT=... -P display_screenshots.cmake
set(work "${OUT}/display-work")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")

function(run)
  execute_process(COMMAND "${TOOL}" --plugin "${BUNDLE}" --quiet ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "morvante-process ${ARGN}: ${result} ${err}")
  endif()
endfunction()

run(--demo "${work}")
file(COPY_FILE "${work}/snapshot.png" "${OUT}/display-demo.png")
run(--snapshot "${OUT}/display-flat.png" --snapshot-display "${work}/input.wav" "${work}/flat.wav")
run(--state-in "${work}/settings.vstpreset" --snapshot "${OUT}/display-200.png" --snapshot-display
    --snapshot-scale 200 "${work}/input.wav" "${work}/demo.wav")
foreach(name display-flat display-demo display-200)
  if(NOT EXISTS "${OUT}/${name}.png")
    message(FATAL_ERROR "${name}.png was not written")
  endif()
endforeach()
file(REMOVE_RECURSE "${work}")
