# Run by cpack once it has staged the files, before it packs them: gives every staged file and
# folder the time SOURCE_DATE_EPOCH names (the commit's), so that the zip, which keeps them,
# does not change with the time of the build.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND find ${CPACK_TEMPORARY_DIRECTORY} -exec touch -h -d @$ENV{SOURCE_DATE_EPOCH} {} +
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
