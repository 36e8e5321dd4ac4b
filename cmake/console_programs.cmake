# What the console programs (cardcheck, cardclone) have in common in the
# build: on Windows their version resource, and their place beside the tool,
# where the whole-program tests and the package find them.
function(bct_console_program target resource)
  if(WIN32)
    target_sources(${target} PRIVATE ${resource})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:BroadcastCardTool>)
  endif()
endfunction()
