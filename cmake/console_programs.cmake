# What the console programs (cardcheck, cardclone) have in common in the build.
#
# The console programs print UTF-8, unlike the tool's code page 936 texts.
# The vocabulary's captions and items are literals in headers, so they take
# the execution character set of each translation unit that includes them:
# every unit of a console program (and of its tests) is compiled for UTF-8.
# bct_utf8_texts() sets BCT_UTF8_TEXTS to that compile option for the
# calling directory.
macro(bct_utf8_texts)
  if(MSVC)
    # Two execution charsets conflict on cl; drop the directory-wide one here.
    get_directory_property(_bct_dir_options COMPILE_OPTIONS)
    list(REMOVE_ITEM _bct_dir_options /execution-charset:.936)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${_bct_dir_options}")
    set(BCT_UTF8_TEXTS /execution-charset:utf-8)
  else()
    # Comes after the directory-wide -fexec-charset=CP936, so it wins.
    set(BCT_UTF8_TEXTS -fexec-charset=UTF-8)
  endif()
endmacro()

# A console program of the package on Windows: its version resource, and its
# place beside the tool, where the whole-program tests and the package find it.
function(bct_console_program target resource)
  if(WIN32)
    target_sources(${target} PRIVATE ${resource})
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY $<TARGET_FILE_DIR:BroadcastCardTool>)
  endif()
endfunction()
