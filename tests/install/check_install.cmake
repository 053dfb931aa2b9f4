# Installs the build into a scratch prefix and checks what a package would hold.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX} RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

set(share ${PREFIX}/share)
foreach(f bin/velmora bin/velmora-cli bin/ZEDoz
    share/applications/io.github.velmora.Velmora.desktop share/mime/packages/velmora.xml
    share/metainfo/io.github.velmora.Velmora.metainfo.xml share/icons/hicolor/scalable/apps/velmora.svg
    share/icons/hicolor/16x16/apps/velmora.png share/icons/hicolor/256x256/apps/velmora.png
    share/man/man1/velmora.1.gz share/man/man1/velmora-cli.1.gz share/man/man1/ZEDoz.1.gz
    share/bash-completion/completions/velmora-cli share/zsh/vendor-completions/_velmora-cli)
  if(NOT EXISTS ${PREFIX}/${f})
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()

foreach(program velmora velmora-cli ZEDoz)
  execute_process(COMMAND ${PREFIX}/bin/${program} --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT out STREQUAL "${program} ${VERSION}\n")
    message(FATAL_ERROR "${program} --version gave '${out}' (exit ${rc}), not '${program} ${VERSION}'")
  endif()
endforeach()

# The validators are optional on a developer's machine; where present they must agree.
find_program(DESKTOP_VALIDATE desktop-file-validate)
if(DESKTOP_VALIDATE)
  execute_process(COMMAND ${DESKTOP_VALIDATE} ${share}/applications/io.github.velmora.Velmora.desktop RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "desktop-file-validate refused the desktop entry")
  endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${share}/metainfo/io.github.velmora.Velmora.metainfo.xml
    RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "appstreamcli refused the metainfo")
  endif()
endif()
