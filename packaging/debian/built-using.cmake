# Run by CPack after it has made the package: adds the Built-Using field,
# which CPack does not write, naming the source packages of what the
# package holds built from them (patches.dat, from the sound font).
# dpkg-deb unpacks the package and builds it again with the field added.
foreach(deb ${CPACK_PACKAGE_FILES})
  if(NOT deb MATCHES "\\.deb$" OR NOT CPACK_KELWYRM_BUILT_USING)
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  # The fields are one paragraph: no blank line before the new one.
  file(READ ${tree}/DEBIAN/control control)
  string(STRIP "${control}" control)
  file(WRITE ${tree}/DEBIAN/control "${control}\nBuilt-Using: ${CPACK_KELWYRM_BUILT_USING}\n")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
