# Run by CPack once it has made the Windows zip (CPACK_POST_BUILD_SCRIPTS): makes it
# the same bytes whatever the folder, user, umask, time zone and time it is built in.
find_program(VELQUIN_STRIP_NONDETERMINISM strip-nondeterminism)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(VELQUIN_STRIP_NONDETERMINISM)
    # Entries sorted, dated SOURCE_DATE_EPOCH, without the builder's uid, gid and umask;
    # in UTC, as a zip's times are in local time.
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${VELQUIN_STRIP_NONDETERMINISM} --type zip ${package}
      COMMAND_ERROR_IS_FATAL ANY)
  elseif(DEFINED ENV{SOURCE_DATE_EPOCH})
    message(FATAL_ERROR "Cannot make ${package} reproducible without strip-nondeterminism")
  endif()
endforeach()
