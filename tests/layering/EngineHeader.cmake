# Fails when a source outside src/platform/ado includes an engine's header (SQLite's or libpq's).
# The header sits in the system include path, so the compiler alone cannot
# refuse it; only the connection/recordset layer may know the engine.
# Usage: cmake -DROOT=<source tree> -P EngineHeader.cmake
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()
set(offenders "")
foreach(top src tests tools fuzz)
  file(GLOB_RECURSE files LIST_DIRECTORIES false
       "${ROOT}/${top}/*.cpp" "${ROOT}/${top}/*.h" "${ROOT}/${top}/*.hpp" "${ROOT}/${top}/*.cc"
       "${ROOT}/${top}/*.in")
  foreach(file IN LISTS files)
    file(RELATIVE_PATH relative "${ROOT}" "${file}")
    if(relative MATCHES "^src/platform/ado/")
      continue()
    endif()
    file(STRINGS "${file}" hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](sqlite3(ext)?|libpq-fe|libpq/[a-z-]+|postgres_ext|pg_config)\\.h[>\"]")
    if(hits)
      list(APPEND offenders "${relative}")
    endif()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " shown)
  message(FATAL_ERROR "Only src/platform/ado may include an engine's header; these do:\n  ${shown}")
endif()
