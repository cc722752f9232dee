# Writes the site's service worker from its template: the files it caches are all the other files
# of the site (and './', which is index.html), each with its SHA-256, and its cache is named after
# their content, so that every build that changes one of them replaces what visitors have cached.
# Usage: cmake -DSITE=FOLDER -DTEMPLATE=web/sw.js -P stamp_worker.cmake
file(GLOB files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
file(SHA256 ${SITE}/index.html digest)
set(digests "${digest}  ./\n")
set(SITE_FILES "{\"./\": \"${digest}\"")
foreach(file ${files})
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${digest}  ${file}\n")
  string(APPEND SITE_FILES ", \"${file}\": \"${digest}\"")
endforeach()
string(APPEND SITE_FILES "}")
string(SHA256 site_digest "${digests}")
string(SUBSTRING ${site_digest} 0 16 SITE_HASH)
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
