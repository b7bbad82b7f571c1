# Compiles one language's help into a .chm. Run by the build:
#   cmake -DSTAGE=<folder> -DPROJECT_FILE=Kelvo_XX.hhp -DOUTPUT=<path of the .chm>
#         -DCHMCMD=<chmcmd> -DSOURCES=<file;file...> -P BuildHelp.cmake
# chmcmd only reads the #include of the context map when started in the project's folder, and
# on a missing page it may leave an empty file behind: both are checked here.
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
foreach(source IN LISTS SOURCES)
  file(COPY ${source} DESTINATION ${STAGE})
endforeach()

get_filename_component(name ${OUTPUT} NAME)
execute_process(COMMAND ${CHMCMD} ${PROJECT_FILE}
                WORKING_DIRECTORY ${STAGE}
                RESULT_VARIABLE result
                OUTPUT_VARIABLE output
                ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "chmcmd failed (${result}) on ${PROJECT_FILE}:\n${output}")
endif()
file(SIZE ${STAGE}/${name} size)
if(size EQUAL 0)
  message(FATAL_ERROR "chmcmd wrote an empty ${name}:\n${output}")
endif()
file(COPY_FILE ${STAGE}/${name} ${OUTPUT})
