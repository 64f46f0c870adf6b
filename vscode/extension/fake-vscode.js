'use strict';

// A small stand-in for the editor's extension interface: just what the session extension
// touches, recording every command, warning and extension activation it sees.

const Module = require('module');
const path = require('path');

class FakeUri {
  constructor(scheme, authority, uriPath, fsPath) {
    this.scheme = scheme;
    this.authority = authority;
    this.path = uriPath;
    this.fsPath = fsPath;
  }
  static file(fsPath) {
    return new FakeUri('file', '', fsPath.split(path.sep).join('/'), fsPath);
  }
  static parse(text) {
    const match = /^([a-zA-Z][\w+.-]*):(\/\/([^/]*))?(.*)$/.exec(text);
    if (!match) throw new Error('bad uri ' + text);
    return new FakeUri(match[1], match[3] || '', match[4], match[4]);
  }
  static from(parts) {
    return new FakeUri(parts.scheme, parts.authority || '', parts.path || '', parts.path || '');
  }
  toString() {
    return this.scheme + '://' + this.authority + this.path;
  }
}

// options: workspaceFile, folders (local paths), trusted, storage (local path or a Uri),
// extensions (ids that are installed), failingCommands (ids that reject), uriScheme.
function createFake(options = {}) {
  const calls = { commands: [], warnings: [], activated: [], trustListeners: [] };
  const installed = new Set(options.extensions || []);
  const failing = new Set(options.failingCommands || []);
  const fake = {
    calls,
    Uri: FakeUri,
    env: { uriScheme: options.uriScheme || 'vscode' },
    workspace: {
      isTrusted: options.trusted !== false,
      workspaceFile:
        options.workspaceFile === undefined
          ? undefined
          : typeof options.workspaceFile === 'string'
            ? FakeUri.file(options.workspaceFile)
            : options.workspaceFile,
      workspaceFolders: (options.folders || []).map((folder, index) => ({
        index,
        name: path.basename(folder),
        uri: typeof folder === 'string' ? FakeUri.file(folder) : folder,
      })),
      onDidGrantWorkspaceTrust(listener) {
        calls.trustListeners.push(listener);
        return { dispose() {} };
      },
    },
    window: {
      showWarningMessage(text) {
        calls.warnings.push(text);
        return Promise.resolve(undefined);
      },
    },
    commands: {
      executeCommand(id, ...args) {
        calls.commands.push([id, ...args]);
        if (failing.has(id)) return Promise.reject(new Error('command ' + id + ' failed'));
        return Promise.resolve(undefined);
      },
    },
    extensions: {
      getExtension(id) {
        if (!installed.has(id)) return undefined;
        return {
          id,
          activate() {
            calls.activated.push(id);
            return Promise.resolve({});
          },
        };
      },
    },
  };
  return fake;
}

let current = null;
const originalLoad = Module._load;
Module._load = function load(request, parent, isMain) {
  if (request === 'vscode') {
    if (!current) throw new Error('no fake vscode installed');
    return current;
  }
  return originalLoad.call(this, request, parent, isMain);
};

// Installs the fake and loads a fresh copy of the extension bound to it.
function loadExtension(fake) {
  current = fake;
  const file = require.resolve('./extension.js');
  delete require.cache[file];
  return require(file);
}

function makeContext(storage) {
  const storageUri = storage === undefined ? undefined : typeof storage === 'string' ? FakeUri.file(storage) : storage;
  return { subscriptions: [], storageUri };
}

module.exports = { createFake, loadExtension, makeContext, FakeUri };
