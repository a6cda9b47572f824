# crash_report_proto_sources(<out_var> <binary_dir>)
#
# Compiles src/crash/crash_report.proto with protoc-c into <binary_dir> and
# returns the generated .pb-c.c in <out_var>; the header lies beside it as
# "crash_report.pb-c.h". Used by the crash capture library and the fuzz build.

find_program(PROTOC_C_EXECUTABLE protoc-c REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(PROTOBUF_C REQUIRED IMPORTED_TARGET libprotobuf-c)

function(crash_report_proto_sources out_var binary_dir)
    set(proto ${PROJECT_SOURCE_DIR}/src/crash/crash_report.proto)
    set(generated ${binary_dir}/crash_report.pb-c.c ${binary_dir}/crash_report.pb-c.h)
    add_custom_command(
        OUTPUT ${generated}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${binary_dir}
        COMMAND ${PROTOC_C_EXECUTABLE} --c_out=${binary_dir} --proto_path=${PROJECT_SOURCE_DIR}/src/crash ${proto}
        DEPENDS ${proto}
        COMMENT "Compiling the crash report format with protoc-c"
        VERBATIM)
    set(${out_var} ${generated} PARENT_SCOPE)
endfunction()
