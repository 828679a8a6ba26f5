# Run by CPack once it has made the packages (CPACK_POST_BUILD_SCRIPTS): makes each
# the same bytes whatever the folder, user, umask, time zone and time it is built in.
find_program(VELQUIN_DPKG_DEB dpkg-deb)
find_program(VELQUIN_STRIP_NONDETERMINISM strip-nondeterminism)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.deb$" AND VELQUIN_DPKG_DEB)
    # CPack's Installed-Size counts each folder's size on the disk it staged on (4096
    # bytes on ext4, less on tmpfs); dpkg-gencontrol counts 1 KiB for each folder and
    # each file's size in whole KiB. dpkg-deb then makes the package again from
    # CPack's tree: entries sorted, owned by root, dated SOURCE_DATE_EPOCH at the latest.
    set(tree ${package}.tree)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND sh -c "umask 022 && exec \"$0\" --raw-extract \"$1\" \"$2\""
      ${VELQUIN_DPKG_DEB} ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true ${tree}/*)
    set(kib 1)
    foreach(entry IN LISTS entries)
      if(entry MATCHES "^${tree}/DEBIAN(/|$)")
        continue()
      elseif(IS_DIRECTORY ${entry} AND NOT IS_SYMLINK ${entry})
        math(EXPR kib "${kib} + 1")
      else()
        file(SIZE ${entry} size)
        math(EXPR kib "${kib} + (${size} + 1023) / 1024")
      endif()
    endforeach()
    file(READ ${tree}/DEBIAN/control control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${kib}\n" control "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")
    # Folders CPack makes on its way follow the umask: every entry is given the modes
    # Debian's are, 755 or 644, from the owner's.
    execute_process(COMMAND chmod -R u+rwX,go=u-w ${tree} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND ${VELQUIN_DPKG_DEB} --root-owner-group -Zgzip --build ${tree} ${package}
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
  elseif(package MATCHES "\\.zip$" AND VELQUIN_STRIP_NONDETERMINISM)
    # Entries sorted, dated SOURCE_DATE_EPOCH, without the builder's uid, gid and umask;
    # in UTC, as a zip's times are in local time.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${VELQUIN_STRIP_NONDETERMINISM} --type zip ${package}
      COMMAND_ERROR_IS_FATAL ANY)
  elseif(DEFINED ENV{SOURCE_DATE_EPOCH})
    message(FATAL_ERROR "Cannot make ${package} reproducible without dpkg-deb and strip-nondeterminism")
  endif()
endforeach()
