# Writes the site's service worker from its template: the files it caches are all the other files
# of the site, and its cache is named after their content, so that every build that changes one
# of them replaces what visitors have cached.
# Usage: cmake -DSITE=FOLDER -DTEMPLATE=web/sw.js -P stamp_worker.cmake
file(GLOB files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(digests "")
foreach(file ${files})
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${digest}  ${file}\n")
endforeach()
string(SHA256 site_digest "${digests}")
string(SUBSTRING ${site_digest} 0 16 SITE_HASH)
list(JOIN files "\", \"" SITE_FILES)
set(SITE_FILES "[\"${SITE_FILES}\"]")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
