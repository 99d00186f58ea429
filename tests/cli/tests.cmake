foreach(name TestCli TestCliProgress)
    vorn_add_test(${name} SOURCES cli/${name}.cpp LIBS vorn_store)
    add_dependencies(${name} vornreader-cli)
endforeach()
