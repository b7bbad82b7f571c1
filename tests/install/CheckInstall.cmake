# Installs the build into WORK/prefix, checks what a desktop and a package manager read from it,
# makes a gallery with the installed kelvo-cli, and builds and lists the .deb. Run by ctest:
#   cmake -DBUILD=<build> -DWORK=<folder> -DAPP_ID=<id> -DDATADIR=share -DMANDIR=share/man
#         -DBINDIR=bin -DGUI=<0|1> -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command} failed (${result}):\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

function(expect_file path)
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})

# Programs, data, language and help files, desktop integration, man pages.
set(data ${prefix}/${DATADIR})
set(programs kelvo-cli)
if(GUI)
  list(APPEND programs kelvo)
endif()
foreach(program IN LISTS programs)
  expect_file(${prefix}/${BINDIR}/${program})
  expect_file(${prefix}/${MANDIR}/man1/${program}.1)
endforeach()
foreach(file Layouts/Standard/index.html Layouts/Classic/index.html Layouts/Darkroom/index.html
             Pictures/Sunset.jpg Kelvo_EN.lng Kelvo_DE.lng Kelvo_EN.chm Kelvo_DE.chm)
  expect_file(${data}/kelvo/${file})
endforeach()
foreach(file applications/${APP_ID}.desktop metainfo/${APP_ID}.metainfo.xml
             mime/packages/kelvo.xml icons/hicolor/scalable/apps/kelvo.svg
             icons/hicolor/48x48/apps/kelvo.png icons/hicolor/256x256/apps/kelvo.png)
  expect_file(${data}/${file})
endforeach()

run(desktop-file-validate ${data}/applications/${APP_ID}.desktop)
# The default id is the program's name: a packager with a domain of their own sets its reverse
# form (KELVO_APP_ID). Until then the one warning about it is expected, and nothing else.
execute_process(COMMAND appstreamcli validate --no-net ${data}/metainfo/${APP_ID}.metainfo.xml
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
string(REGEX MATCHALL "(^|\n)[EW]: [^\n]*" issues "${out}")
if(NOT APP_ID MATCHES "\\.")
  list(FILTER issues EXCLUDE REGEX "cid-desktopapp-is-not-rdns")
elseif(NOT result EQUAL 0)
  list(APPEND issues "exit status ${result}")
endif()
if(issues)
  message(FATAL_ERROR "appstreamcli rejects the metainfo file:\n${out}")
endif()

# A file manager learns the project type from the installed description.
file(COPY ${data}/mime/packages/kelvo.xml DESTINATION ${WORK}/mime/packages)
run(update-mime-database ${WORK}/mime)
file(READ ${WORK}/mime/globs2 globs)
if(NOT globs MATCHES "application/x-kelvo-project:\\*\\.kel")
  message(FATAL_ERROR "the .kel type is not registered:\n${globs}")
endif()

# The installed kelvo-cli finds the installed layouts and makes the gallery of the sample photos.
set(cli ${prefix}/${BINDIR}/kelvo-cli)
file(MAKE_DIRECTORY ${WORK}/gallery)
run(${cli} new ${WORK}/sample.kel ${data}/kelvo/Pictures --output ${WORK}/gallery)
run(${cli} generate ${WORK}/sample.kel --quiet)
file(GLOB_RECURSE pictures ${WORK}/gallery/*.jpg)
list(LENGTH pictures count)
if(NOT output MATCHES "index.html" OR count LESS 18)
  message(FATAL_ERROR "the installed kelvo-cli made no gallery (${count} pictures):\n${output}")
endif()

# The package: built from the same build, with dependencies from dpkg-shlibdeps.
run(cpack -G DEB --config ${BUILD}/CPackConfig.cmake -B ${WORK}/package)
file(GLOB deb ${WORK}/package/*.deb)
run(dpkg-deb --contents ${deb})
set(contents "${output}")
foreach(program IN LISTS programs)
  list(APPEND wanted "/usr/bin/${program}")
endforeach()
list(APPEND wanted /usr/share/kelvo/Layouts/Standard/index.html /usr/share/kelvo/Kelvo_EN.lng
     /usr/share/kelvo/Kelvo_DE.lng /usr/share/kelvo/Kelvo_EN.chm /usr/share/kelvo/Kelvo_DE.chm
     /usr/share/applications/${APP_ID}.desktop /usr/share/mime/packages/kelvo.xml)
foreach(path IN LISTS wanted)
  string(FIND "${contents}" ".${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${path}:\n${contents}")
  endif()
endforeach()
run(dpkg-deb --field ${deb} Depends)
if(NOT output MATCHES "libc6" OR (GUI AND NOT output MATCHES "libqt6webenginewidgets6"))
  message(FATAL_ERROR "the package's dependencies were not computed: ${output}")
endif()
message(STATUS "Installed, validated and packaged: ${deb}")
