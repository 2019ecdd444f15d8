// SPDX-License-Identifier: MIT
// The guide's Markdown, bundled as text.
declare module "*.md" {
  const text: string;
  export default text;
}
