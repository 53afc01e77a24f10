# Run by cpack once the program is staged and stripped, before it is packed:
# signs it when LUMBREL_SIGN_CERT and LUMBREL_SIGN_KEY name a certificate and
# its private key (PEM files). Without them the download goes unsigned.
set(cert "$ENV{LUMBREL_SIGN_CERT}")
set(key "$ENV{LUMBREL_SIGN_KEY}")
if(cert STREQUAL "" AND key STREQUAL "")
  return()
endif()
if(cert STREQUAL "" OR key STREQUAL "")
  message(FATAL_ERROR "Signing needs both LUMBREL_SIGN_CERT (the certificate) and "
                      "LUMBREL_SIGN_KEY (its private key), but only one is set.")
endif()
# cpack runs in the build folder, not where the build was started.
if(NOT IS_ABSOLUTE "${cert}" OR NOT IS_ABSOLUTE "${key}")
  message(FATAL_ERROR "LUMBREL_SIGN_CERT and LUMBREL_SIGN_KEY must name their files by "
                      "absolute path (they are \"${cert}\" and \"${key}\").")
endif()
set(program "${CPACK_TEMPORARY_DIRECTORY}/LumbrelRestore.exe")
execute_process(COMMAND "${CPACK_LUMBREL_SIGN_EXE}" "${cert}" "${key}" "${program}"
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "The download was not made: its program could not be signed.")
endif()
message(STATUS "Signed ${program} with ${cert}")
