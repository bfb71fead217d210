#!/usr/bin/env python3
"""Runs every test function of the Qt Test suites that ctest lists with the given labels in a
process of its own, with the test's environment and folder, and fails when one fails.

ThreadSanitizer loses sight of the whole process once it has started a child through QProcess
(whose vfork bypasses the sanitizer's own fork handling): in a process of its own, a function
that starts helpers blinds only itself.
Usage: run-functions-apart.py BUILD-FOLDER LABEL-REGEX
"""
import json
import os
import subprocess
import sys

build, labels = sys.argv[1], sys.argv[2]
# The rows run again bound by permission bits (label unprivileged) are functions of these suites.
listing = subprocess.run(['ctest', '--show-only=json-v1', '-L', labels, '-LE', 'unprivileged'], cwd=build, check=True,
                         capture_output=True, text=True).stdout
failed = []
count = 0
for test in json.loads(listing)['tests']:
    properties = {p['name']: p['value'] for p in test.get('properties', [])}
    environment = dict(os.environ)
    environment.update(entry.split('=', 1) for entry in properties.get('ENVIRONMENT', []))
    folder = properties.get('WORKING_DIRECTORY', build)
    command = test['command']
    functions = subprocess.run(command + ['-functions'], cwd=folder, env=environment, check=True,
                               capture_output=True, text=True).stdout.split()
    for function in functions:
        name = function.removesuffix('()')
        count += 1
        run = subprocess.run(command + [name], cwd=folder, env=environment, capture_output=True, text=True)
        if run.returncode != 0:
            failed.append(f"{test['name']} {name}")
            sys.stdout.write(run.stdout + run.stderr)
        print(f"{'FAIL' if run.returncode else 'ok  '} {test['name']} {name}", flush=True)
print(f"{count - len(failed)} of {count} test functions passed")
if failed:
    print('failed: ' + ', '.join(failed))
    sys.exit(1)
